// An ordered list of byte-string lines: the working, reference and scratch
// lists of a run, and every text loaded from or saved to disk.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace ct {

class LineList {
 public:
  LineList() = default;
  explicit LineList(std::vector<std::string> lines) : lines_(std::move(lines)) {}

  size_t Count() const { return lines_.size(); }
  bool Has(size_t i) const { return i < lines_.size(); }
  const std::string& Get(size_t i) const { return lines_.at(i); }
  void Put(size_t i, std::string line) { lines_.at(i) = std::move(line); }
  void Insert(size_t i, std::string line);
  void Delete(size_t i);
  void Add(std::string line) { lines_.push_back(std::move(line)); }
  void Clear() { lines_.clear(); }
  const std::vector<std::string>& Lines() const { return lines_; }

  // Every line followed by CR LF, as the whole-text view of an editor.
  std::string Text() const;
  // Splits at CR LF, LF or CR; a break after the last line adds no line.
  void SetText(std::string_view text);

  bool operator==(const LineList& other) const { return lines_ == other.lines_; }

 private:
  std::vector<std::string> lines_;
};

std::vector<std::string> SplitLines(std::string_view text);

// Whole-file access. Both return false and describe the reason in `error`
// (in the system's locale-independent English) when the file system refuses.
bool ReadFileBytes(const std::filesystem::path& path, std::string& bytes, std::string& error);
// Replaces the file atomically: the bytes are written to a temporary file
// beside it and renamed over it, so an interrupted save never leaves a
// half-written file and the old file survives any failure.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes, std::string& error);

bool LoadLines(LineList& list, const std::filesystem::path& path, std::string& error);
bool SaveLines(const LineList& list, const std::filesystem::path& path, std::string& error);

}  // namespace ct
