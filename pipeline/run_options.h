// What the person running a conversion may choose; the defaults give the
// layouts of the host's era.
#pragma once

#include <chrono>
#include <cstdint>

#include "text/files.h"

namespace ct {

// How the whole size of an unpacked record (and of a class instance) is
// rounded: up to a multiple of 4, as the compilers of the host's era did, or
// up to the record's largest member alignment, as a modern compiler does
// (a record holding a Double then takes a multiple of 8).
enum class RecordPadding { kFour, kLargest };

struct RunOptions {
  RecordPadding record_padding = RecordPadding::kFour;
  // The largest ClassTable.txt a run in a folder reads, in bytes.
  std::uint64_t input_limit = kDefaultInputLimit;
  // How long a run in a folder waits for another one that works there.
  std::chrono::milliseconds lock_wait{3000};
};

}  // namespace ct
