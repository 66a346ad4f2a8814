// A program that does nothing until it is ended: copied under a name that
// the definitions list, it stands in for running spyware.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  for (;;) Sleep(1000);
}
