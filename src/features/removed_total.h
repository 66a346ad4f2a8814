// The total of objects removed over every scan. Read from the settings store
// once, when the program starts, and written back whenever it grows and
// whenever the program closes its main or scan window, so the stored figure
// is always the program's own.
#pragma once

#include <cstdint>

namespace features {

class RemovedTotal {
 public:
  // A stored total that is not a number reads as 0; one beyond the 32-bit
  // range stops at its limit.
  RemovedTotal();

  int32_t value() const { return total_; }
  // Adds the objects one removal pass took away and stores the new total;
  // it stops at the largest 32-bit value instead of wrapping round.
  void Add(int32_t removed);
  void Store() const;

 private:
  int32_t total_ = 0;
};

}  // namespace features
