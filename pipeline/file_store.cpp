#include "pipeline/file_store.h"

#include "text/files.h"

namespace ct {

bool FolderStore::Read(std::string_view name, std::string& bytes, std::string& error) {
  return ReadFileBytes(folder_ / std::string(name), bytes, error, input_limit_);
}

bool FolderStore::Save(std::string_view name, const LineList& lines, std::string& error) {
  return SaveLines(lines, folder_ / std::string(name), error);
}

bool FolderStore::Remove(std::string_view name, std::string& error) {
  return RemoveFile(folder_ / std::string(name), error);
}

bool FolderStore::KeepCopy(std::string_view name, std::string_view copy, std::string& error) {
  return KeepCopyOf(folder_ / std::string(name), folder_ / std::string(copy), error);
}

bool MemoryStore::Read(std::string_view name, std::string& bytes, std::string& error) {
  auto it = files.find(name);
  if (it == files.end()) {
    error = "no file " + std::string(name);
    return false;
  }
  bytes = it->second;
  return true;
}

bool MemoryStore::Save(std::string_view name, const LineList& lines, std::string&) {
  files[std::string(name)] = lines.Text();
  return true;
}

bool MemoryStore::Remove(std::string_view name, std::string&) {
  if (auto it = files.find(name); it != files.end()) files.erase(it);
  return true;
}

bool MemoryStore::KeepCopy(std::string_view name, std::string_view copy, std::string&) {
  if (auto it = files.find(name); it != files.end()) files[std::string(copy)] = it->second;
  return true;
}

}  // namespace ct
