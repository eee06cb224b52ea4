// Runs the whole conversion in memory on arbitrary bytes: the first byte
// chooses whether the rest is a whole ClassTable.txt or declarations
// appended to the prelude, which is how users feed the tool.
#include <cstddef>
#include <cstdint>
#include <string>

#include "pipeline/driver.h"
#include "pipeline/file_store.h"
#include "resources/prelude.h"

namespace {

class SilentFrontEnd : public ct::FrontEnd {
 public:
  void Log(std::string_view) override {}
  void Message(std::string_view, std::string_view, ct::MessageIcon) override {}
  void ClearLog() override {}
  void ShowList(const ct::LineList&) override {}
  bool StageReport(const ct::LineList&, std::string_view) override { return true; }
  void SetResultLabel(std::string_view) override {}
  void RunEnded() override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static const std::string prelude = ct::ReadPrelude(ct::kPreludeResource) + "\r\n";
  std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (data[0] & 1) input.insert(0, prelude);
  ct::MemoryStore files;
  files.files["ClassTable.txt"] = std::move(input);
  SilentFrontEnd ui;
  ct::RunConversion(ui, files);
  return 0;
}
