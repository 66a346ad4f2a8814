#include "toolkit/bitmaps.h"

#include "platform/handles.h"

namespace toolkit {

HBITMAP LoadBitmapResource(int id) {
  return static_cast<HBITMAP>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

HICON LoadIconResource(int id, int size, bool shared) {
  return static_cast<HICON>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, shared ? LR_SHARED : 0));
}

void DrawBitmapStretched(HDC dc, HBITMAP bitmap, const RECT& target) {
  if (bitmap == nullptr) return;
  BITMAP info = {};
  if (GetObjectW(bitmap, sizeof info, &info) == 0) return;
  platform::MemoryDC memory(dc);
  if (memory.get() == nullptr) return;
  platform::SelectedObject selected(memory.get(), bitmap);
  SetStretchBltMode(dc, HALFTONE);
  SetBrushOrgEx(dc, 0, 0, nullptr);
  StretchBlt(dc, target.left, target.top, target.right - target.left, target.bottom - target.top, memory.get(), 0, 0,
             info.bmWidth, info.bmHeight, SRCCOPY);
}

}  // namespace toolkit
