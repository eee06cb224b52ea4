#include "text/line_list.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ct {

LineList::LineList(LineList&& other) noexcept
    : lines_(std::move(other.lines_)), origins_(std::move(other.origins_)), indexed_(other.indexed_) {
  other.lines_.clear();
  other.origins_.clear();
  other.Invalidate();
}

LineList& LineList::operator=(const LineList& other) {
  if (this != &other) {
    lines_ = other.lines_;
    origins_ = other.origins_;
    Invalidate();
  }
  return *this;
}

LineList& LineList::operator=(LineList&& other) noexcept {
  if (this != &other) {
    lines_ = std::move(other.lines_);
    origins_ = std::move(other.origins_);
    other.lines_.clear();
    other.origins_.clear();
    other.Invalidate();
    Invalidate();
  }
  return *this;
}

LineList::~LineList() = default;

void LineList::Put(size_t i, std::string line) {
  lines_.at(i) = std::move(line);
  for (auto& index : indexes_) index->Replaced(i);
}

void LineList::Insert(size_t i, std::string line, LineOrigin origin) {
  if (i > lines_.size()) i = lines_.size();
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(i), std::move(line));
  origins_.insert(origins_.begin() + static_cast<std::ptrdiff_t>(i), origin);
  Invalidate();
}

void LineList::Delete(size_t i) {
  if (i >= lines_.size()) return;
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
  origins_.erase(origins_.begin() + static_cast<std::ptrdiff_t>(i));
  Invalidate();
}

void LineList::Add(std::string line, LineOrigin origin) {
  lines_.push_back(std::move(line));
  origins_.push_back(origin);
  for (auto& index : indexes_) index->Replaced(lines_.size() - 1);
}

void LineList::Clear() {
  lines_.clear();
  origins_.clear();
  Invalidate();
}

void LineList::SetIndexed(bool indexed) {
  indexed_ = indexed;
  if (!indexed_) indexes_.clear();
}

const std::vector<size_t>& LineList::LinesUnder(LineKeyFunction key_of, std::string_view key) const {
  LineIndex* index = nullptr;
  for (auto& candidate : indexes_)
    if (candidate->key_of() == key_of) index = candidate.get();
  if (index == nullptr) index = indexes_.emplace_back(std::make_unique<LineIndex>(key_of)).get();
  return index->LinesUnder(lines_, key);
}

void LineList::Invalidate() {
  for (auto& index : indexes_) index->Invalidate();
}

std::string LineList::Text() const {
  size_t total = 0;
  for (const auto& l : lines_) total += l.size() + 2;
  std::string text;
  text.reserve(total);
  for (const auto& l : lines_) {
    text += l;
    text += "\r\n";
  }
  return text;
}

void LineList::SetText(std::string_view text) {
  lines_ = SplitLines(text);
  origins_.resize(lines_.size());
  for (size_t i = 0; i < origins_.size(); ++i) origins_[i] = static_cast<LineOrigin>(i + 1);
  Invalidate();
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c != '\r' && c != '\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

namespace {

std::string Describe(const char* what, const std::filesystem::path& path, int err) {
  return std::string(what) + " " + path.string() + ": " + std::strerror(err);
}

}  // namespace

bool ReadFileBytes(const std::filesystem::path& path, std::string& bytes, std::string& error) {
  // Opened without blocking and then checked: a named pipe in the file's
  // place would wait for a writer for ever, and a device may never end.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    error = Describe("cannot open", path, errno);
    return false;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    error = Describe("cannot read", path, S_ISDIR(info.st_mode) ? EISDIR : EINVAL);
    ::close(fd);
    return false;
  }
  std::string data;
  char buffer[65536];
  // Every read consumes bytes of a finite file, or reports its end or a fault.
  while (true) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      error = Describe("cannot read", path, errno);
      ::close(fd);
      return false;
    }
    data.append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  bytes = std::move(data);
  return true;
}

bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes, std::string& error) {
  // A file the user made read-only is kept, even where the folder would let
  // a rename replace it (and even for root, who passes every access check).
  struct stat existing {};
  if (::stat(path.c_str(), &existing) == 0 && S_ISREG(existing.st_mode) && !(existing.st_mode & S_IWUSR)) {
    error = Describe("cannot replace", path, EACCES);
    return false;
  }
  std::string temp = path.string() + ".tmp-XXXXXX";
  int fd = ::mkstemp(temp.data());
  if (fd < 0) {
    error = Describe("cannot write", path, errno);
    return false;
  }
  auto fail = [&](int err) {
    ::close(fd);
    ::unlink(temp.c_str());
    error = Describe("cannot write", path, err);
    return false;
  };
  size_t done = 0;
  // Every round writes at least one byte or fails: a write that takes
  // nothing would otherwise be asked again for ever.
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return fail(n < 0 ? errno : ENOSPC);
    done += static_cast<size_t>(n);
  }
  // Files written by the tool are ordinary user files, not private ones.
  mode_t mask = ::umask(0);
  ::umask(mask);
  if (::fchmod(fd, 0666 & ~mask) != 0) return fail(errno);
  if (::fsync(fd) != 0) return fail(errno);
  if (::close(fd) != 0) {
    int err = errno;
    ::unlink(temp.c_str());
    error = Describe("cannot write", path, err);
    return false;
  }
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    int err = errno;
    ::unlink(temp.c_str());
    error = Describe("cannot replace", path, err);
    return false;
  }
  return true;
}

bool LoadLines(LineList& list, const std::filesystem::path& path, std::string& error) {
  std::string bytes;
  if (!ReadFileBytes(path, bytes, error)) return false;
  list.SetText(bytes);
  return true;
}

bool SaveLines(const LineList& list, const std::filesystem::path& path, std::string& error) {
  return WriteFileAtomically(path, list.Text(), error);
}

void LetOversizedWritesFail() { std::signal(SIGXFSZ, SIG_IGN); }

}  // namespace ct
