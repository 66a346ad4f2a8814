// Damaged or unusual definitions files: the program starts, loads what can
// be read, and never crashes or hangs.
#include "driver/program_test.h"

namespace e2e {
namespace {

std::string Records(int entries) {
  std::string text = "Ver2.01 large\r\n";
  text.reserve(static_cast<size_t>(entries) * 24);
  for (int i = 0; i < entries; ++i) text += "file" + std::to_string(i) + ".exe|Adware\r\n";
  return text;
}

constexpr char kWithNuls[] = "Ver1.0\r\nfoo\0.exe|Adware\r\n\0\0\0\r\nbar.exe|X";

std::string Garbage() {
  std::string bytes;
  for (int round = 0; round < 64; ++round) {
    for (int b = 0; b < 256; ++b) bytes.push_back(static_cast<char>((b * 37 + round) & 0xFF));
  }
  return bytes;
}

struct DamagedCase {
  const char* name;
  std::string refDat;
  const char* header;  // nullptr: not checked
  const char* count;   // the figure before " Adware/Spyware types"; nullptr: any
  friend void PrintTo(const DamagedCase& c, std::ostream* os) { *os << c.name; }
};

class DamagedDefinitionsTest : public ProgramTest, public ::testing::WithParamInterface<DamagedCase> {};

TEST_P(DamagedDefinitionsTest, StartsAndShowsWhatWasLoaded) {
  const DamagedCase& c = GetParam();
  ASSERT_NE(StartProgram(c.refDat), nullptr);
  HWND main = VisibleMainWindow();
  ASSERT_NE(main, nullptr);
  const std::string count = WindowText(Child(main, ids::StatusProtectionValue));
  if (c.count) {
    EXPECT_EQ(count, std::string(c.count) + " Adware/Spyware types");
  } else {
    EXPECT_NE(count.find(" Adware/Spyware types"), std::string::npos) << count;
  }
  if (c.header) {
    EXPECT_EQ(WindowText(Child(main, ids::StatusDefinitionsValue)), c.header);
  }
  EXPECT_FALSE(app_.HasExited());
}

INSTANTIATE_TEST_SUITE_P(
    BadInput, DamagedDefinitionsTest,
    ::testing::Values(
        DamagedCase{"NulBytes", std::string(kWithNuls, sizeof kWithNuls - 1), "Ver1.0", "3"},
        DamagedCase{"TenMegabyteLine", "Ver1.0\r\n" + std::string(10 * 1024 * 1024, 'a') + "\r\nfoo.exe|A\r\n",
                    "Ver1.0", "3"},
        DamagedCase{"UnbalancedQuote", "Ver1.0\r\n\"foo.exe|Adware, toolbar\r\nbar.exe|Spyware\r\n", "Ver1.0", "3"},
        DamagedCase{"HundredThousandRecords", Records(100000), "Ver2.01 large", "100001"},
        DamagedCase{"CarriageReturnOnly", "Ver1.0\rfoo.exe|A\rbar.exe|B", "Ver1.0", "3"},
        DamagedCase{"Utf8ByteOrderMark", "\xEF\xBB\xBFVer1.0\r\nfoo.exe|A\r\n", "Ver1.0", "2"},
        DamagedCase{"BinaryGarbage", Garbage(), nullptr, nullptr},
        DamagedCase{"HeaderOnly", "Ver1.0", "Ver1.0", "1"}),
    [](const auto& info) { return std::string(info.param.name); });

class DefinitionsReadTest : public ProgramTest {
 protected:
  // Starts the program, which must end after a message that begins so.
  void ExpectEndAfterMessage(const std::string& beginning) {
    ASSERT_TRUE(app_.Start(appFolder()));
    HWND box = app_.WaitForMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box).substr(0, beginning.size()), beginning);
    AnswerMessageBox(box, IDOK);
    EXPECT_TRUE(app_.WaitForExit());
  }
};

TEST_F(DefinitionsReadTest, AFileThatCannotBeReadEndsLikeAMissingOne) {
  App::Install(appFolder(), App::DefaultRefDat());
  // Held open without sharing by another process: present, but unreadable.
  platform::UniqueHandle held(CreateFileW(platform::Widen(AppFile("ref.dat")).c_str(), GENERIC_READ, 0, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
  ASSERT_NE(held.get(), INVALID_HANDLE_VALUE);
  ExpectEndAfterMessage("Reference file not found ");
}

TEST_F(DefinitionsReadTest, AFileWithoutASingleLineEndsLikeAMissingOne) {
  for (const std::string& refDat : {std::string(4096, '\0'), std::string("\r\n\r\n")}) {
    App::Install(appFolder(), refDat);
    ExpectEndAfterMessage("Reference file not found ");
  }
}

TEST_F(DefinitionsReadTest, AFileBeyondTheLimitsEndsAsDamagedWithoutExhaustingMemory) {
  const std::string tooLarge[] = {
      "Ver1.0\r\nfoo.exe|A\r\n" + std::string(64 * 1024 * 1024, 'x'),
      "Ver1.0\r\nfoo.exe|A\r\n" + std::string(2 * 1000 * 1000, ','),
  };
  for (const std::string& refDat : tooLarge) {
    App::Install(appFolder(), refDat);
    ExpectEndAfterMessage("The reference file is damaged:");
  }
}

}  // namespace
}  // namespace e2e
