// The hidden application window that every running copy owns and that owns
// all of its forms. A second copy finds the first one through its class
// ("ThunderRT6Main") and its caption (the application title).
#pragma once

#include <string>

#include "ui/window.h"

class ApplicationWindow : public ui::Window {
 public:
  void Create(const std::string& title);
  void SetTitle(const std::string& title);
};
