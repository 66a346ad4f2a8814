// Child controls described as rows of a table (id, kind, twips rectangle,
// caption, tab page) and created from it at the screen's resolution.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/handles.h"
#include "toolkit/twips.h"

namespace toolkit {

enum class ControlKind {
  PushButton,
  CheckBox,
  OptionFirst,  // first option button of a group
  Option,
  Label,
  Frame,
  ListMulti,    // list with extended selection (Ctrl and Shift clicks)
  ListToggle,   // list where each click marks or unmarks one line
  HiddenList,
  DropDownList, // a choice from a fixed list; the rectangle's height includes the dropped list
  Separator,    // horizontal etched line
  Picture,      // owner-drawn bitmap, stretched to the rectangle
  Tabs,
  StatusBar,
};

enum class FontKind { Normal, Bold, Title };

// Page -1: on the window itself; 0 and up: shown only while that tab is selected.
// A caption that would not fit its rectangle at the screen's resolution
// (text does not grow in step with twips) widens the control, or for text
// that wraps makes it taller; its left and top stay.
constexpr int kNoPage = -1;

struct ControlRow {
  int id;
  ControlKind kind;
  TwipsRect rect;
  const char* caption;
  int page = kNoPage;
  FontKind font = FontKind::Normal;
  const char* tip = nullptr;  // shown while the mouse rests on the control
  // Run when the control is clicked (a button, or a label that notifies), or
  // for a drop-down list, when the user chooses another item.
  std::function<void()> onClick = nullptr;
  // F1 on the control opens the program's help.
  bool helpOnF1 = false;

  // The row with its click handler, or with F1 help, for use in tables.
  ControlRow Runs(std::function<void()> handler) const {
    ControlRow row = *this;
    row.onClick = std::move(handler);
    return row;
  }
  ControlRow WithHelp() const {
    ControlRow row = *this;
    row.helpOnF1 = true;
    return row;
  }
};

// "MS Sans Serif" 8.25 pt, its bold cut, and Arial 11.25 pt bold, at the
// screen's resolution.
class FontSet {
 public:
  explicit FontSet(int dpi);
  HFONT For(FontKind kind) const;

 private:
  platform::UniqueFont normal_, bold_, title_;
};

class ControlSet {
 public:
  void Create(HWND parent, const std::vector<ControlRow>& rows, int dpi, const FontSet& fonts);
  HWND Get(int id) const;
  // Shows the controls of one page and hides those of every other page.
  void ShowPage(int page);
  int PageOf(HWND control) const;
  // Runs the click handler of the control `id` for a click notification (a
  // changed choice for a drop-down list); false when the control has none
  // or `code` is another notification.
  bool RunClick(int id, int code) const;
  bool HasHelp(HWND control) const { return withHelp_.count(control) != 0; }

 private:
  std::map<int, HWND> byId_;
  struct ClickHandler {
    std::function<void()> handler;
    int code;  // the notification that runs it; BN_CLICKED is STN_CLICKED
  };
  std::map<int, ClickHandler> onClick_;
  std::set<HWND> withHelp_;
  std::map<HWND, int> pageByHandle_;
  HWND tips_ = nullptr;  // owned by the parent window, which destroys it
};

std::string GetText(HWND control);
// The text of one line of a list box, or the empty text for no such line.
std::string ListItemText(HWND list, int index);
// The texts of a list box's selected lines, in list order.
std::vector<std::string> SelectedItemTexts(HWND list);
// Sets a window's text; a control then grows where its new caption needs it.
void SetText(HWND control, const std::string& text);

}  // namespace toolkit
