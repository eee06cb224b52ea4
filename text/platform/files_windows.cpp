// The Windows side of text/files.h, on the Win32 file functions: paths are
// wide strings, every file is bytes (no text mode, no stop at 0x1A), a save
// is a new file moved over the old one, and the folder lock is a byte-range
// lock that the system drops with the process.
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "text/files.h"
#include "text/paths.h"

namespace ct {

namespace {

// Win32 errors as the C library's error numbers, so that a message reads as
// it does on other systems ("Permission denied", "No space left on device").
int ErrnoOf(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_CURRENT_DIRECTORY:
      return EACCES;
    case ERROR_WRITE_PROTECT:
      return EROFS;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    case ERROR_DIRECTORY:
      return ENOTDIR;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return EEXIST;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      return ENOMEM;
    case ERROR_FILENAME_EXCED_RANGE:
      return ENAMETOOLONG;
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_PARAMETER:
      return EINVAL;
    default:
      return EIO;
  }
}

std::string Describe(const char* what, const std::filesystem::path& path, DWORD error) {
  return std::string(what) + " " + PathText(path) + ": " + SystemErrorText(error);
}

class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() {
    if (valid()) ::CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }
  // Closes now; false when closing reports a fault (the last data not written).
  bool Close() {
    HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return ::CloseHandle(handle) != 0;
  }

 private:
  HANDLE handle_;
};

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// What stands at an opened path when it is no file on a disk.
const char* KindOf(HANDLE handle) {
  switch (::GetFileType(handle)) {
    case FILE_TYPE_CHAR:
      return "a character device";
    case FILE_TYPE_PIPE:
      return "a named pipe";
    default:
      return "no regular file";
  }
}

bool IsFolder(const std::filesystem::path& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Where a save really goes: a symbolic link is followed to the file it
// names. A path that is no link, or a link to nothing, is itself.
std::filesystem::path ThroughLinks(const std::filesystem::path& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return path;
  Handle file(::CreateFileW(path.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file.valid()) return path;
  std::wstring target(MAX_PATH, L'\0');
  DWORD length = ::GetFinalPathNameByHandleW(file.get(), target.data(), static_cast<DWORD>(target.size()), 0);
  if (length >= target.size()) {
    target.resize(length);
    length = ::GetFinalPathNameByHandleW(file.get(), target.data(), static_cast<DWORD>(target.size()), 0);
  }
  if (length == 0 || length >= target.size()) return path;
  target.resize(length);
  return target;
}

// A name beside `path` that no file has yet: "NAME.tmp-" and six letters
// or digits, the shape that RemoveLeftoverTemporaries knows.
HANDLE CreateTemporaryBeside(const std::filesystem::path& path, std::filesystem::path& temp) {
  static constexpr char kLetters[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  unsigned long long seed = ::GetTickCount64() * 6364136223846793005ull + ::GetCurrentProcessId();
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::wstring name = path.native() + L".tmp-";
    for (int k = 0; k < 6; ++k) {
      seed = seed * 6364136223846793005ull + 1442695040888963407ull;
      name += static_cast<wchar_t>(kLetters[(seed >> 33) % (sizeof kLetters - 1)]);
    }
    HANDLE handle = ::CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS) {
      temp = name;
      return handle;
    }
  }
  return INVALID_HANDLE_VALUE;
}

// The atomic save. The new file gets `attributes` when given (a copy keeps
// its source's), else those of the file it replaces.
bool ReplaceFile(const std::filesystem::path& path, std::string_view bytes, std::string& error,
                 DWORD attributes = INVALID_FILE_ATTRIBUTES) {
  const std::filesystem::path target = ThroughLinks(path);
  // A file the user made read-only is kept.
  const DWORD existing = ::GetFileAttributesW(target.c_str());
  const bool replacing = existing != INVALID_FILE_ATTRIBUTES && !(existing & FILE_ATTRIBUTE_DIRECTORY);
  if (replacing && (existing & FILE_ATTRIBUTE_READONLY)) {
    error = Describe("cannot replace", path, ERROR_ACCESS_DENIED);
    return false;
  }
  if (attributes == INVALID_FILE_ATTRIBUTES && replacing) attributes = existing;
  std::filesystem::path temp;
  Handle file(CreateTemporaryBeside(target, temp));
  if (!file.valid()) {
    error = Describe("cannot write", path, ::GetLastError());
    return false;
  }
  auto fail = [&](DWORD err) {
    if (file.valid()) file.Close();
    ::DeleteFileW(temp.c_str());
    error = Describe("cannot write", path, err);
    return false;
  };
  // Every round writes at least one byte or fails.
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 30));
    DWORD written = 0;
    if (!::WriteFile(file.get(), bytes.data(), chunk, &written, nullptr)) return fail(::GetLastError());
    if (written == 0) return fail(ERROR_DISK_FULL);
    bytes.remove_prefix(written);
  }
  if (!::FlushFileBuffers(file.get())) return fail(::GetLastError());
  if (!file.Close()) return fail(::GetLastError());
  // Hidden, archive and the like stay as the user set them.
  constexpr DWORD kKept = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                          FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & kKept) &&
      !::SetFileAttributesW(temp.c_str(), attributes & kKept))
    return fail(::GetLastError());
  // One rename puts the whole file in place; write-through returns only
  // once the rename is on the disk. A scanner or an indexer that holds the
  // old file for a moment is waited for, briefly.
  for (int attempt = 0;; ++attempt) {
    if (::MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    const DWORD err = ::GetLastError();
    if (attempt < 20 && (err == ERROR_SHARING_VIOLATION || err == ERROR_ACCESS_DENIED) && !IsFolder(target)) {
      ::Sleep(50);
      continue;
    }
    ::DeleteFileW(temp.c_str());
    error = Describe("cannot replace", path, err);
    return false;
  }
}

}  // namespace

bool ReadFileBytes(const std::filesystem::path& path, std::string& bytes, std::string& error, std::uint64_t limit) {
  if (IsFolder(path)) {
    error = "cannot read " + PathText(path) + ": it is a folder, not a file";
    return false;
  }
  Handle file(::CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) {
    error = Describe("cannot open", path, ::GetLastError());
    return false;
  }
  if (::GetFileType(file.get()) != FILE_TYPE_DISK) {
    error = "cannot read " + PathText(path) + ": it is " + KindOf(file.get()) + ", not a file";
    return false;
  }
  auto too_large = [&] {
    error = "cannot read " + PathText(path) + ": it holds more than " + std::to_string(limit) +
            " bytes, the most an input may hold";
    return false;
  };
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.get(), &size)) {
    error = Describe("cannot read", path, ::GetLastError());
    return false;
  }
  if (static_cast<std::uint64_t>(size.QuadPart) > limit) return too_large();
  // As on POSIX: one byte more than the size shows the end, and a file
  // that grows meanwhile still stops at the limit.
  std::string data(static_cast<size_t>(size.QuadPart) + 1, '\0');
  size_t filled = 0;
  // Every read takes bytes of a finite file, or reports its end or a fault.
  while (true) {
    if (filled == data.size()) {
      if (filled > limit) return too_large();
      data.resize(static_cast<size_t>(std::min<std::uint64_t>(limit + 1, filled * 2 + 65536)));
    }
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(data.size() - filled, 1u << 30));
    DWORD got = 0;
    if (!::ReadFile(file.get(), data.data() + filled, chunk, &got, nullptr)) {
      error = Describe("cannot read", path, ::GetLastError());
      return false;
    }
    if (got == 0) break;
    filled += got;
  }
  if (filled > limit) return too_large();
  data.resize(filled);
  bytes = std::move(data);
  return true;
}

bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes, std::string& error) {
  return ReplaceFile(path, bytes, error);
}

bool RemoveFile(const std::filesystem::path& path, std::string& error) {
  if (::DeleteFileW(path.c_str())) return true;
  const DWORD err = ::GetLastError();
  if (err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND) return true;
  error = Describe("cannot remove", path, err);
  return false;
}

bool KeepCopyOf(const std::filesystem::path& file, const std::filesystem::path& copy, std::string& error) {
  if (KindOfPath(file) != PathKind::kFile) return true;
  // A new copy is as hidden, or as read-only, as the file.
  const DWORD attributes = ::GetFileAttributesW(ThroughLinks(file).c_str());
  std::string bytes;
  return ReadFileBytes(file, bytes, error, UINT64_MAX) && ReplaceFile(copy, bytes, error, attributes);
}

PathKind KindOfPath(const std::filesystem::path& path) {
  // Opened for no access at all, which any file allows, links followed.
  Handle opened(::CreateFileW(path.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (opened.valid()) {
    BY_HANDLE_FILE_INFORMATION info{};
    const bool file = ::GetFileType(opened.get()) == FILE_TYPE_DISK &&
                      ::GetFileInformationByHandle(opened.get(), &info) &&
                      !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    return file ? PathKind::kFile : PathKind::kOther;
  }
  const DWORD attributes = ::GetFileAttributesW(path.c_str());  // of a link itself
  if (attributes == INVALID_FILE_ATTRIBUTES) return PathKind::kNothing;
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return PathKind::kBrokenLink;
  // There, but not to be opened even so (a file the system keeps to itself).
  return attributes & FILE_ATTRIBUTE_DIRECTORY ? PathKind::kOther : PathKind::kFile;
}

namespace {

// The lock covers one byte far past anything the file holds, since a
// locked range cannot be read by others, and the holder's id at the start
// is for them to read.
constexpr DWORD kLockedByteHigh = 0x40000000;

HANDLE AsHandle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

}  // namespace

FileLock::~FileLock() {
  if (handle_ == -1) return;
  HANDLE file = AsHandle(handle_);
  // A holder's id outlives it only where it was killed; the next run
  // writes its own.
  LARGE_INTEGER start{};
  if (::SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) ::SetEndOfFile(file);
  ::CloseHandle(file);  // closing the file releases the lock
}

std::unique_ptr<FileLock> FileLock::Take(const std::filesystem::path& path, std::chrono::milliseconds wait,
                                         long& holder, std::string& error) {
  holder = 0;
  bool writable = true;
  HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE && (::GetLastError() == ERROR_ACCESS_DENIED || ::GetLastError() == ERROR_WRITE_PROTECT)) {
    writable = false;
    file = ::CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD err = ::GetLastError();
    // As on POSIX: a folder that is not there, or takes no new file, takes
    // no save of any run either.
    if (err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND || err == ERROR_DIRECTORY)
      return std::unique_ptr<FileLock>(new FileLock(-1));
    error = Describe("cannot lock", path, err);
    return nullptr;
  }
  const auto deadline = std::chrono::steady_clock::now() + wait;
  // Every round either takes the lock, gives up at the deadline, or sleeps.
  while (true) {
    OVERLAPPED at{};
    at.OffsetHigh = kLockedByteHigh;
    if (::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) break;
    const DWORD err = ::GetLastError();
    if (err != ERROR_LOCK_VIOLATION) {
      ::CloseHandle(file);
      error = Describe("cannot lock", path, err);
      return nullptr;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      char text[32] = {};
      DWORD got = 0;
      OVERLAPPED start{};
      if (::ReadFile(file, text, sizeof text - 1, &got, &start) && got > 0) holder = std::strtol(text, nullptr, 10);
      ::CloseHandle(file);
      return nullptr;
    }
    ::Sleep(50);
  }
  if (writable) {
    const std::string pid = std::to_string(::GetCurrentProcessId()) + "\n";
    LARGE_INTEGER start{};
    DWORD written = 0;
    if (::SetFilePointerEx(file, start, nullptr, FILE_BEGIN) && ::SetEndOfFile(file))
      ::WriteFile(file, pid.data(), static_cast<DWORD>(pid.size()), &written, nullptr);
  }
  return std::unique_ptr<FileLock>(new FileLock(reinterpret_cast<std::intptr_t>(file)));
}

// Windows has no limit on the size of a process's files, and no signal for it.
void LetOversizedWritesFail() {}

std::string SystemErrorText(unsigned long code) { return std::strerror(ErrnoOf(static_cast<DWORD>(code))); }

}  // namespace ct
