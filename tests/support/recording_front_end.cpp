#include "tests/support/recording_front_end.h"

#include "text/gbk.h"

namespace ct::testing {

std::vector<std::string> RecordingFrontEnd::LogUtf8() const {
  std::vector<std::string> out;
  for (const auto& line : log) out.push_back(GbkToUtf8(line));
  return out;
}

bool RecordingFrontEnd::Logged(std::initializer_list<std::string_view> parts) const {
  for (const auto& line : log) {
    bool all = true;
    for (std::string_view part : parts) all = all && line.find(part) != std::string::npos;
    if (all) return true;
  }
  return false;
}

}  // namespace ct::testing
