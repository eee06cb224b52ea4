// The POSIX side of text/files.h: whole files through file descriptors, a
// save as mkstemp, fsync and rename, the folder lock as flock.
#include "text/files.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "text/paths.h"

namespace ct {

namespace {

std::string Describe(const char* what, const std::filesystem::path& path, int err) {
  return std::string(what) + " " + PathText(path) + ": " + std::strerror(err);
}

const char* KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISFIFO(mode)) return "a named pipe";
  if (S_ISSOCK(mode)) return "a socket";
  if (S_ISCHR(mode)) return "a character device";
  if (S_ISBLK(mode)) return "a block device";
  return "no regular file";
}

// Where a save really goes: a symbolic link is followed to the file it
// names, however many links lead there. Empty, with `error`, for a chain of
// links that never ends.
std::filesystem::path ThroughLinks(const std::filesystem::path& path, std::string& error) {
  constexpr int kMostLinks = 40;  // as the kernel counts them before ELOOP
  std::filesystem::path current = path;
  for (int links = 0; links <= kMostLinks; ++links) {
    std::error_code ec;
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(current, ec))) return current;
    std::filesystem::path target = std::filesystem::read_symlink(current, ec);
    if (ec) return current;
    current = target.is_absolute() ? target : current.parent_path() / target;
  }
  error = Describe("cannot write", path, ELOOP);
  return {};
}

// Makes the rename that put a file in place survive a power cut. Some file
// systems cannot sync a folder; the file is in place all the same.
void SyncFolder(const std::filesystem::path& folder) {
  int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

bool ReadFileBytes(const std::filesystem::path& path, std::string& bytes, std::string& error, std::uint64_t limit) {
  // Opened without blocking and then checked: a named pipe in the file's
  // place would wait for a writer for ever, and a device may never end.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    error = Describe("cannot open", path, errno);
    return false;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    error = Describe("cannot read", path, errno);
    ::close(fd);
    return false;
  }
  if (!S_ISREG(info.st_mode)) {
    error = "cannot read " + PathText(path) + ": it is " + KindOf(info.st_mode) + ", not a file";
    ::close(fd);
    return false;
  }
  auto too_large = [&] {
    error = "cannot read " + PathText(path) + ": it holds more than " + std::to_string(limit) +
            " bytes, the most an input may hold";
    ::close(fd);
    return false;
  };
  const auto size = static_cast<std::uint64_t>(info.st_size);
  if (size > limit) return too_large();
  // Read straight into the result; one byte more than the size shows the
  // end, and a file that grows meanwhile still stops at the limit.
  std::string data(static_cast<size_t>(size) + 1, '\0');
  size_t filled = 0;
  // Every read consumes bytes of a finite file, or reports its end or a fault.
  while (true) {
    if (filled == data.size()) {
      if (filled > limit) return too_large();
      data.resize(static_cast<size_t>(std::min<std::uint64_t>(limit + 1, filled * 2 + 65536)));
    }
    ssize_t n = ::read(fd, data.data() + filled, data.size() - filled);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      error = Describe("cannot read", path, errno);
      ::close(fd);
      return false;
    }
    filled += static_cast<size_t>(n);
  }
  ::close(fd);
  if (filled > limit) return too_large();
  data.resize(filled);
  bytes = std::move(data);
  return true;
}

namespace {

// The atomic save; a new file gets `new_mode`, or that of an ordinary user
// file.
bool ReplaceFile(const std::filesystem::path& path, std::string_view bytes, std::string& error,
                 std::optional<mode_t> new_mode) {
  const std::filesystem::path target = ThroughLinks(path, error);
  if (target.empty()) return false;
  // A file the user made read-only is kept, even where the folder would let
  // a rename replace it (and even for root, who passes every access check).
  struct stat existing {};
  const bool replacing = ::stat(target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode);
  if (replacing && !(existing.st_mode & S_IWUSR)) {
    error = Describe("cannot replace", path, EACCES);
    return false;
  }
  std::string temp = target.native() + ".tmp-XXXXXX";
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
  if (replacing) {
    // The replacement is the same file to everyone who could use the old
    // one: its owner and group where the process may give them, and its
    // permissions.
    if (::fchown(fd, existing.st_uid, existing.st_gid) != 0) (void)::fchown(fd, static_cast<uid_t>(-1), existing.st_gid);
    if (::fchmod(fd, existing.st_mode & 0777) != 0) return fail(errno);
  } else if (new_mode) {
    if (::fchmod(fd, *new_mode) != 0) return fail(errno);
  } else {
    // Files written by the tool are ordinary user files, not private ones.
    mode_t mask = ::umask(0);
    ::umask(mask);
    if (::fchmod(fd, 0666 & ~mask) != 0) return fail(errno);
  }
  if (::fsync(fd) != 0) return fail(errno);
  if (::close(fd) != 0) {
    int err = errno;
    ::unlink(temp.c_str());
    error = Describe("cannot write", path, err);
    return false;
  }
  if (::rename(temp.c_str(), target.c_str()) != 0) {
    int err = errno;
    ::unlink(temp.c_str());
    error = Describe("cannot replace", path, err);
    return false;
  }
  SyncFolder(target.parent_path());
  return true;
}

}  // namespace

bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes, std::string& error) {
  return ReplaceFile(path, bytes, error, std::nullopt);
}

bool RemoveFile(const std::filesystem::path& path, std::string& error) {
  if (::unlink(path.c_str()) == 0 || errno == ENOENT) return true;
  error = Describe("cannot remove", path, errno);
  return false;
}

bool KeepCopyOf(const std::filesystem::path& file, const std::filesystem::path& copy, std::string& error) {
  struct stat info {};
  if (::stat(file.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return true;
  // A new copy is as private as the file.
  std::string bytes;
  return ReadFileBytes(file, bytes, error, UINT64_MAX) && ReplaceFile(copy, bytes, error, info.st_mode & 0777);
}

PathKind KindOfPath(const std::filesystem::path& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0) return S_ISREG(info.st_mode) ? PathKind::kFile : PathKind::kOther;
  return ::lstat(path.c_str(), &info) == 0 ? PathKind::kBrokenLink : PathKind::kNothing;
}

FileLock::~FileLock() {
  const int fd = static_cast<int>(handle_);
  if (fd < 0) return;
  // A holder's id outlives it only where it was killed; the next run
  // writes its own.
  (void)::ftruncate(fd, 0);
  ::close(fd);  // closing the file releases the lock
}

std::unique_ptr<FileLock> FileLock::Take(const std::filesystem::path& path, std::chrono::milliseconds wait,
                                         long& holder, std::string& error) {
  holder = 0;
  bool writable = true;
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0 && (errno == EACCES || errno == EROFS || errno == EPERM)) {
    writable = false;
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  }
  // A folder that is not there, or takes no new file, takes no save of any
  // run either: there is nothing to keep apart, and the run says what is
  // wrong with the folder when it reads or saves.
  if (fd < 0 && (errno == ENOENT || errno == ENOTDIR)) return std::unique_ptr<FileLock>(new FileLock(-1));
  if (fd < 0) {
    error = Describe("cannot lock", path, errno);
    return nullptr;
  }
  const auto deadline = std::chrono::steady_clock::now() + wait;
  // Every round either takes the lock, gives up at the deadline, or sleeps.
  while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK) {
      error = Describe("cannot lock", path, errno);
      ::close(fd);
      return nullptr;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      char text[32] = {};
      if (::pread(fd, text, sizeof text - 1, 0) > 0) holder = std::strtol(text, nullptr, 10);
      ::close(fd);
      return nullptr;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  if (writable) {
    const std::string pid = std::to_string(::getpid()) + "\n";
    if (::ftruncate(fd, 0) == 0) (void)::pwrite(fd, pid.data(), pid.size(), 0);
  }
  return std::unique_ptr<FileLock>(new FileLock(fd));
}

void LetOversizedWritesFail() { std::signal(SIGXFSZ, SIG_IGN); }

std::string SystemErrorText(unsigned long code) { return std::strerror(static_cast<int>(code)); }

}  // namespace ct
