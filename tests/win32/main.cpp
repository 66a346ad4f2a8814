// The Win32 tests' entry; the parallel walk's tests start this program as
// a listing helper, as the scan starts the program itself, and the
// step-stop tests start a copy of it to stop an operation part-way.
#include <gtest/gtest.h>

#include "features/listing_helper.h"
#include "platform/system.h"
#include "step_stops.h"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments = platform::CommandLineArguments();
  if (features::IsListingHelper(arguments)) return features::RunListingHelper(arguments);
  if (IsStoppedOperation(arguments)) return RunStoppedOperation(arguments);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
