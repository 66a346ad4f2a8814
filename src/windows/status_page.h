// The Status tab: definitions loaded, last scan, totals and quarantine count.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/definitions_list.h"
#include "windows/page.h"

namespace windows {

class StatusPage : public Page {
 public:
  using Page::Page;

  // The page's controls, in tab order.
  static std::vector<toolkit::ControlRow> Rows();

  // When the main window is activated: the definitions and the removed total.
  void ShowDefinitions(const core::DefinitionsList& list);
  void ShowRemovedTotal(int32_t total);
  // When the tabs get the focus: the definitions header, the files in
  // quarantine and the stored usage figures.
  void ShowFigures(const core::DefinitionsList& list, size_t quarantined);
};

}  // namespace windows
