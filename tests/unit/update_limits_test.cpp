// The update limits: stored values may lower them for tests, never raise them.
#include <gtest/gtest.h>

#include <map>

#include "core/update_limits.h"

namespace {

TEST(UpdateLimits, StoredValuesOnlyLowerTheBuiltInOnes) {
  struct Row {
    const char* stored;
    uint64_t expected;
  };
  const Row rows[] = {
      {"", core::kStallTimeoutMs},     {"2000", 2000},
      {"1", 1},                          {"30000", 30000},
      {"30001", core::kStallTimeoutMs}, {"0", core::kStallTimeoutMs},
      {"-5", core::kStallTimeoutMs},   {"2s", core::kStallTimeoutMs},
      {" 2000", core::kStallTimeoutMs}, {"99999999999999999999999", core::kStallTimeoutMs},
  };
  for (const Row& row : rows) {
    const core::UpdateLimits limits = core::LimitsWithOverrides(
        [&](const char* key) { return std::string(key) == "STALLTIMEOUT" ? row.stored : ""; });
    EXPECT_EQ(limits.stallTimeoutMs, row.expected) << row.stored;
    EXPECT_EQ(limits.connectTimeoutMs, core::kConnectTimeoutMs);
  }

  const std::map<std::string, std::string> all = {{"VERSIONBYTES", "10"},   {"DEFINITIONSBYTES", "20"},
                                                  {"DEFINITIONSRECORDS", "30"}, {"REDIRECTS", "1"},
                                                  {"CONNECTTIMEOUT", "40"}, {"STALLTIMEOUT", "50"},
                                                  {"DEFINITIONSTIMEOUT", "60"}};
  const core::UpdateLimits lowered = core::LimitsWithOverrides([&](const char* key) { return all.at(key); });
  EXPECT_EQ(lowered.versionFileBytes, 10u);
  EXPECT_EQ(lowered.definitionsBytes, 20u);
  EXPECT_EQ(lowered.definitionsRecords, 30u);
  EXPECT_EQ(lowered.redirects, 1u);
  EXPECT_EQ(lowered.VersionFetchMs(), 90u);
  EXPECT_EQ(lowered.definitionsFetchMs, 60u);
}

}  // namespace
