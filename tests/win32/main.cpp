// The Win32 tests' entry; the parallel walk's tests start this program as
// a listing helper, as the scan starts the program itself.
#include <gtest/gtest.h>

#include "features/listing_helper.h"
#include "platform/system.h"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments = platform::CommandLineArguments();
  if (features::IsListingHelper(arguments)) return features::RunListingHelper(arguments);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
