// The Win32 tests' entry; the step-stop tests start a copy of this program
// to stop an operation part-way.
#include <gtest/gtest.h>

#include "platform/system.h"
#include "step_stops.h"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments = platform::CommandLineArguments();
  if (IsStoppedOperation(arguments)) return RunStoppedOperation(arguments);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
