// The splash window: version and maker lines over the background picture,
// and three picture buttons (start, licence text, exit).
#pragma once

#include <windows.h>

#include <memory>

#include "platform/handles.h"
#include "ui/controls.h"
#include "ui/window.h"

struct Program;

class frmSplash : public ui::Window {
 public:
  explicit frmSplash(Program& program);

  // Creates the window without showing it; its load step runs the start
  // procedure, so when this returns the program is ready.
  void Load();
  void Show();
  bool PreTranslateMessage(MSG& msg);

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void Form_Load();
  void Form_Activate();
  void Form_Paint();
  void Picture2_Click();
  void Picture4_Click();
  void Picture5_Click();
  void OnDrawItem(const DRAWITEMSTRUCT& item);
  void SetLabel(int id, const std::string& text);

  Program& program_;
  int dpi_ = 96;
  std::unique_ptr<ui::FontSet> fonts_;
  ui::ControlSet controls_;
  platform::UniqueBitmap background_;
  platform::UniqueBitmap startButton_, licenseButton_, exitButton_;
};
