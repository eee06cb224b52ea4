#include <windows.h>
#include <aclapi.h>

#include "tests/support/refusing_path.h"

namespace ct::testing {

namespace {

// Whether writing to `path` is now refused: a new file in a folder, or
// opening a file for writing.
bool WritingRefused(const std::filesystem::path& path, bool folder) {
  const std::filesystem::path probe = folder ? path / "refusal-probe" : path;
  HANDLE handle = ::CreateFileW(probe.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                folder ? CREATE_NEW : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return true;
  ::CloseHandle(handle);
  if (folder) ::DeleteFileW(probe.c_str());
  return false;
}

}  // namespace

bool RunningAsRoot() { return false; }

RefusingPath::RefusingPath(std::filesystem::path path) {
  undo_ = [] {};
  std::error_code ec;
  const bool folder = std::filesystem::is_directory(path, ec);
  PACL old_list = nullptr;
  PSECURITY_DESCRIPTOR old_descriptor = nullptr;
  if (::GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &old_list,
                              nullptr, &old_descriptor) != ERROR_SUCCESS)
    return;
  BYTE everyone[SECURITY_MAX_SID_SIZE];
  DWORD everyone_size = sizeof everyone;
  EXPLICIT_ACCESS_W deny{};
  // A folder takes no new file and gives none up; a file takes no new bytes
  // and is not replaced.
  deny.grfAccessPermissions = folder ? FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY | FILE_DELETE_CHILD
                                     : FILE_WRITE_DATA | FILE_APPEND_DATA | DELETE;
  deny.grfAccessMode = DENY_ACCESS;
  deny.grfInheritance = NO_INHERITANCE;
  deny.Trustee.TrusteeForm = TRUSTEE_IS_SID;
  deny.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
  deny.Trustee.ptstrName = reinterpret_cast<LPWSTR>(everyone);
  PACL new_list = nullptr;
  if (!::CreateWellKnownSid(WinWorldSid, nullptr, everyone, &everyone_size) ||
      ::SetEntriesInAclW(1, &deny, old_list, &new_list) != ERROR_SUCCESS) {
    ::LocalFree(old_descriptor);
    return;
  }
  const std::wstring name = path.wstring();
  ::SetNamedSecurityInfoW(const_cast<LPWSTR>(name.c_str()), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                          nullptr, new_list, nullptr);
  ::LocalFree(new_list);
  refuses_ = WritingRefused(path, folder);
  undo_ = [name, old_list, old_descriptor] {
    ::SetNamedSecurityInfoW(const_cast<LPWSTR>(name.c_str()), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                            nullptr, old_list, nullptr);
    ::LocalFree(old_descriptor);
  };
}

RefusingPath::~RefusingPath() { undo_(); }

}  // namespace ct::testing
