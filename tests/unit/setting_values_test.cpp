#include "core/setting_values.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

struct NumberRow {
  std::string text;
  double number;
  bool on;
};

TEST(SettingValues, ReadNumberAndOnOff) {
  const NumberRow rows[] = {
      {"1", 1, true},
      {" 1", 1, true},
      {"\t1", 1, true},
      {"1 ", 1, true},
      {"1.0", 1, true},
      {"1.", 1, true},
      {"+1", 1, true},
      {"1e0", 1, true},
      {"10e-1", 1, true},
      {"1abc", 1, true},
      {"1e", 1, true},    // an exponent without digits is not part of the number
      {"1e+x", 1, true},
      {"1,5", 1, true},   // the comma is never a decimal separator here
      {"0", 0, false},
      {"2", 2, false},
      {"1.5", 1.5, false},
      {"0.9999", 0.9999, false},
      {"-1", -1, false},
      {".5", 0.5, false},
      {"-.5", -0.5, false},
      {"2E-1x", 0.2, false},
      {"0x1", 0, false},
      {"", 0, false},
      {".", 0, false},
      {"+", 0, false},
      {"abc", 0, false},
      {"on", 0, false},
      {"yes", 0, false},
      {"inf", 0, false},
      {"nan", 0, false},
  };
  for (const NumberRow& row : rows) {
    EXPECT_DOUBLE_EQ(core::ReadNumber(row.text), row.number) << '"' << row.text << '"';
    EXPECT_EQ(core::ReadsAsOn(row.text), row.on) << '"' << row.text << '"';
    EXPECT_EQ(core::CheckStateFromText(row.text), row.on ? 1 : 0) << '"' << row.text << '"';
  }
}

TEST(SettingValues, CheckStateText) {
  // 2 is the grayed state, which is stored as off.
  const std::pair<int, const char*> rows[] = {{0, "0"}, {1, "1"}, {2, "0"}};
  for (const auto& [state, text] : rows) {
    EXPECT_EQ(core::TextFromCheckState(state), text) << state;
    EXPECT_EQ(core::CheckStateFromText(core::TextFromCheckState(state)), state == 1 ? 1 : 0) << state;
  }
}

TEST(SettingValues, RunValueData) {
  const std::pair<const char*, const char*> rows[] = {
      {R"(C:\Program Files\PW\Parawarden.exe)", R"("C:\Program Files\PW\Parawarden.exe")"},
      {R"(C:\pw test\Parawarden.EXE)", R"("C:\pw test\Parawarden.exe")"},
      {R"(C:\a.b\prog)", R"("C:\a.b\prog.exe")"},
      {R"(C:\x\my.prog.exe)", R"("C:\x\my.prog.exe")"},
      {R"(C:\prog.exe)", R"("C:\prog.exe")"},
      {R"(\\server\share\pw.exe)", R"("\\server\share\pw.exe")"},
  };
  for (const auto& [path, expected] : rows) EXPECT_EQ(core::RunValueData(path), expected) << path;
}

}  // namespace
