// Where a run reads its input and writes its files: a folder on disk for the
// window and the command line, memory for the fuzzer and the benchmarks.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>

#include "text/files.h"
#include "text/line_list.h"

namespace ct {

class FileStore {
 public:
  virtual ~FileStore() = default;
  // All return false with a reason in `error` when the file cannot be used.
  virtual bool Read(std::string_view name, std::string& bytes, std::string& error) = 0;
  virtual bool Save(std::string_view name, const LineList& lines, std::string& error) = 0;
  // A file that is not there is no error.
  virtual bool Remove(std::string_view name, std::string& error) = 0;
  // Copies the file `name`, when there is one, to `copy`.
  virtual bool KeepCopy(std::string_view name, std::string_view copy, std::string& error) = 0;
};

class FolderStore : public FileStore {
 public:
  // An input larger than `input_limit` bytes is refused before it is read.
  explicit FolderStore(std::filesystem::path folder, std::uint64_t input_limit = kDefaultInputLimit)
      : folder_(std::move(folder)), input_limit_(input_limit) {}
  bool Read(std::string_view name, std::string& bytes, std::string& error) override;
  bool Save(std::string_view name, const LineList& lines, std::string& error) override;
  bool Remove(std::string_view name, std::string& error) override;
  bool KeepCopy(std::string_view name, std::string_view copy, std::string& error) override;

 private:
  std::filesystem::path folder_;
  std::uint64_t input_limit_;
};

class MemoryStore : public FileStore {
 public:
  bool Read(std::string_view name, std::string& bytes, std::string& error) override;
  bool Save(std::string_view name, const LineList& lines, std::string& error) override;
  bool Remove(std::string_view name, std::string& error) override;
  bool KeepCopy(std::string_view name, std::string_view copy, std::string& error) override;

  std::map<std::string, std::string, std::less<>> files;
};

}  // namespace ct
