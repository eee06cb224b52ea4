#include "pipeline/file_store.h"

#include "text/files.h"

namespace ct {

bool FolderStore::Read(std::string_view name, std::string& bytes, std::string& error) {
  return ReadFileBytes(folder_ / std::string(name), bytes, error);
}

bool FolderStore::Save(std::string_view name, const LineList& lines, std::string& error) {
  return SaveLines(lines, folder_ / std::string(name), error);
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

}  // namespace ct
