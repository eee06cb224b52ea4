// Every operating-system call of the core that touches a file is here (the
// GBK codec holds the others), so that another platform replaces this file
// rather than the stages.
#include "text/files.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ct {

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
