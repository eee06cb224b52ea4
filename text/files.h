// Whole files in and out: the input read, the run's files and the editor's
// text saved, and the lock that keeps one run at a time in a folder. Every
// save replaces its file atomically. One home, two sides: the calls into the
// system are in platform/files_posix.cpp and platform/files_windows.cpp, and
// every message names a path as PathText (text/paths.h) spells it.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "text/line_list.h"

namespace ct {

// Files larger than this are refused before a byte is read, unless the
// caller allows more: a conversion holds several copies of its input.
inline constexpr std::uint64_t kDefaultInputLimit = 256ull << 20;

// Whole-file access. Both return false and describe the reason in `error`
// (in the system's locale-independent English) when the file system refuses.
// Only a regular file is read, and only up to `limit` bytes.
bool ReadFileBytes(const std::filesystem::path& path, std::string& bytes, std::string& error,
                   std::uint64_t limit = kDefaultInputLimit);
// Replaces the file atomically: the bytes are written to a temporary file
// beside it and renamed over it, so an interrupted save never leaves a
// half-written file and the old file survives any failure. A symbolic link
// is written through (its target is replaced, in the target's folder); a
// replaced file keeps its mode and, where the process may set it, its
// owner; the folder is synced once the new file is in place.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes, std::string& error);
// Removes the file; a file that is not there is no error.
bool RemoveFile(const std::filesystem::path& path, std::string& error);
// Saves a copy of `file` as `copy`, atomically, when there is such a file.
bool KeepCopyOf(const std::filesystem::path& file, const std::filesystem::path& copy, std::string& error);

// What stands at a path, links followed.
enum class PathKind {
  kNothing,     // not even a link
  kFile,        // a regular file, or a link to one
  kBrokenLink,  // a link to nothing
  kOther,       // a folder, a pipe, a device, a socket
};
PathKind KindOfPath(const std::filesystem::path& path);
// Removes what interrupted atomic saves of these files left beside them:
// "NAME.tmp-" and the six letters or digits that make each one unique.
// Nothing else in the folder is touched.
void RemoveLeftoverTemporaries(const std::filesystem::path& folder, const std::vector<std::string>& names);

bool LoadLines(LineList& list, const std::filesystem::path& path, std::string& error);
bool SaveLines(const LineList& list, const std::filesystem::path& path, std::string& error);

// An exclusive lock on a lock file, held until the object goes: the kernel
// releases it when the process ends in any way, so a killed run leaves no
// stale lock. The file keeps the holder's process id for whoever waits.
// (flock on POSIX systems; on Windows LockFileEx on a byte far past the id,
// since a locked range cannot be read by others.)
class FileLock {
 public:
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  // Tries for `wait`; null when another process holds the lock (its id in
  // `holder`, 0 when unknown) or the file cannot be used (`error` says why).
  // Where the lock file cannot be made (no such folder, a read-only one) no
  // run can save either, and the lock holds nothing.
  static std::unique_ptr<FileLock> Take(const std::filesystem::path& path, std::chrono::milliseconds wait,
                                        long& holder, std::string& error);

 private:
  explicit FileLock(std::intptr_t handle) : handle_(handle) {}
  std::intptr_t handle_;  // a file descriptor, or a Windows HANDLE; -1 for none
};

// Past the process's file size limit a write then fails, and the save says
// so, instead of the signal killing the program halfway through a file.
// Every front end that saves calls it once at start-up.
void LetOversizedWritesFail();

// The C library's words for a failure the system reported ("No space left
// on device"): `code` is an errno value on POSIX systems and a
// GetLastError() value on Windows, which reads as the errno value it means.
std::string SystemErrorText(unsigned long code);

}  // namespace ct
