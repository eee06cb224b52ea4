// An ordered list of byte-string lines: the working, reference and scratch
// lists of a run, and every text loaded from or saved to disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "text/line_index.h"

namespace ct {

// Where a line came from: its 1-based line number in the text that was
// loaded (ClassTable.txt for a run), or kNoOrigin for a line the pipeline
// made itself. Stages that rewrite a line keep its origin; stages that join
// lines give the joined line the origin of its first part; so a report about
// any working line can name the input line a person has to look at.
using LineOrigin = std::uint32_t;
inline constexpr LineOrigin kNoOrigin = 0;

class LineList {
 public:
  LineList() = default;
  explicit LineList(std::vector<std::string> lines) : lines_(std::move(lines)), origins_(lines_.size(), kNoOrigin) {}
  // A copy takes the lines and the indexing choice, never the indexes.
  LineList(const LineList& other) : lines_(other.lines_), origins_(other.origins_), indexed_(other.indexed_) {}
  LineList(LineList&& other) noexcept;
  // Assignment replaces the lines only: whether a list keeps indexes is a
  // choice made for the list (by the run), not part of its contents.
  LineList& operator=(const LineList& other);
  LineList& operator=(LineList&& other) noexcept;
  ~LineList();

  size_t Count() const { return lines_.size(); }
  bool Has(size_t i) const { return i < lines_.size(); }
  const std::string& Get(size_t i) const { return lines_.at(i); }
  // Replacing a line's text keeps its origin.
  void Put(size_t i, std::string line);
  void Insert(size_t i, std::string line, LineOrigin origin = kNoOrigin);
  void Delete(size_t i);
  void Add(std::string line, LineOrigin origin = kNoOrigin);
  void Clear();
  const std::vector<std::string>& Lines() const { return lines_; }
  LineOrigin Origin(size_t i) const { return i < origins_.size() ? origins_[i] : kNoOrigin; }

  // Name lookups ask an indexed list for the lines filed under a key instead
  // of reading every line. The index for a key function is built at its
  // first use and kept current through every change made here. A list that
  // is not indexed (as the plain stage versions run) leaves its lookups to
  // read every line.
  bool Indexed() const { return indexed_; }
  void SetIndexed(bool indexed);
  // The ascending indices of the lines that `key_of` files under `key`.
  // Valid until the list changes or the next call. Only for indexed lists.
  const std::vector<size_t>& LinesUnder(LineKeyFunction key_of, std::string_view key) const;

  // Every line followed by CR LF, as the whole-text view of an editor.
  std::string Text() const;
  // Splits at CR LF, LF or CR; a break after the last line adds no line.
  // Each line's origin is its line number in the text.
  void SetText(std::string_view text);

  bool operator==(const LineList& other) const { return lines_ == other.lines_; }

 private:
  void Invalidate();

  std::vector<std::string> lines_;
  std::vector<LineOrigin> origins_;  // one per line
  bool indexed_ = true;
  mutable std::vector<std::unique_ptr<LineIndex>> indexes_;
};

std::vector<std::string> SplitLines(std::string_view text);

}  // namespace ct
