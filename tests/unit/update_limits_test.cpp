// The update limits: stored values may lower them for tests, never raise them.
#include <gtest/gtest.h>

#include <map>

#include "update/update_limits.h"

namespace {

TEST(UpdateLimits, StoredValuesOnlyLowerTheBuiltInOnes) {
  struct Row {
    const char* stored;
    uint64_t expected;
  };
  const Row rows[] = {
      {"", update::kStallTimeoutMs},     {"2000", 2000},
      {"1", 1},                          {"30000", 30000},
      {"30001", update::kStallTimeoutMs}, {"0", update::kStallTimeoutMs},
      {"-5", update::kStallTimeoutMs},   {"2s", update::kStallTimeoutMs},
      {" 2000", update::kStallTimeoutMs}, {"99999999999999999999999", update::kStallTimeoutMs},
  };
  for (const Row& row : rows) {
    const update::UpdateLimits limits = update::LimitsWithOverrides(
        [&](const char* key) { return std::string(key) == "STALLTIMEOUT" ? row.stored : ""; });
    EXPECT_EQ(limits.stallTimeoutMs, row.expected) << row.stored;
    EXPECT_EQ(limits.connectTimeoutMs, update::kConnectTimeoutMs);
  }

  const std::map<std::string, std::string> all = {{"VERSIONBYTES", "10"},   {"DEFINITIONSBYTES", "20"},
                                                  {"DEFINITIONSRECORDS", "30"}, {"REDIRECTS", "1"},
                                                  {"CONNECTTIMEOUT", "40"}, {"STALLTIMEOUT", "50"}};
  const update::UpdateLimits lowered = update::LimitsWithOverrides([&](const char* key) { return all.at(key); });
  EXPECT_EQ(lowered.versionFileBytes, 10u);
  EXPECT_EQ(lowered.definitionsBytes, 20u);
  EXPECT_EQ(lowered.definitionsRecords, 30u);
  EXPECT_EQ(lowered.redirects, 1u);
  EXPECT_EQ(lowered.VersionFetchMs(), 90u);
}

}  // namespace
