// Where a run reads its input and writes its files: a folder on disk for the
// window and the command line, memory for the fuzzer and the benchmarks.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>

#include "text/line_list.h"

namespace ct {

class FileStore {
 public:
  virtual ~FileStore() = default;
  // Both return false with a reason in `error` when the file cannot be used.
  virtual bool Read(std::string_view name, std::string& bytes, std::string& error) = 0;
  virtual bool Save(std::string_view name, const LineList& lines, std::string& error) = 0;
};

class FolderStore : public FileStore {
 public:
  explicit FolderStore(std::filesystem::path folder) : folder_(std::move(folder)) {}
  bool Read(std::string_view name, std::string& bytes, std::string& error) override;
  bool Save(std::string_view name, const LineList& lines, std::string& error) override;

 private:
  std::filesystem::path folder_;
};

class MemoryStore : public FileStore {
 public:
  bool Read(std::string_view name, std::string& bytes, std::string& error) override;
  bool Save(std::string_view name, const LineList& lines, std::string& error) override;

  std::map<std::string, std::string, std::less<>> files;
};

}  // namespace ct
