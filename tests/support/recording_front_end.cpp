#include "tests/support/recording_front_end.h"

#include "text/gbk.h"

namespace ct::testing {

std::vector<std::string> RecordingFrontEnd::LogUtf8() const {
  std::vector<std::string> out;
  for (const auto& line : log) out.push_back(GbkToUtf8(line));
  return out;
}

}  // namespace ct::testing
