#include "pipeline/lookups.h"

#include <algorithm>
#include <set>

#include "pipeline/candidate_lines.h"
#include "pipeline/number_text.h"
#include "text/scan.h"

namespace ct {

bool ParseDefinition(std::string_view line, Definition& out) {
  if (line.find('=') == std::string_view::npos) return false;
  Token head = GetValidToken(line, "=");
  out.name = Trim(head.token);
  out.value = Trim(GetValidToken(head.rest, ";").token);
  out.body = std::move(head.rest);
  return true;
}

bool DefinitionNameKey(std::string_view line, std::string& key) {
  if (line.find('=') == std::string_view::npos) return false;
  key.clear();
  // The name as ParseDefinition cuts it: empty at the token limit, leading
  // "=" skipped, up to the next "=", then trimmed.
  if (Len(line) >= kTokenLimit) return true;
  size_t begin = line.find_first_not_of('=');
  if (begin == std::string_view::npos) return true;
  size_t end = std::min(line.find('=', begin), line.size());
  while (begin < end && IsBlank(static_cast<unsigned char>(line[begin]))) ++begin;
  while (end > begin && IsBlank(static_cast<unsigned char>(line[end - 1]))) --end;
  key.assign(line.substr(begin, end - begin));
  for (char& c : key) c = LowerAscii(c);
  return true;
}

namespace {

// The one scan behind every lookup: offers each definition line named `name`
// to `accept`, in list order, until it accepts one.
template <class Accept>
bool FindDefinition(const LineList& list, std::string_view name, Accept&& accept) {
  Definition def;
  return CandidateLines(list, DefinitionNameKey, name).First(0, list.Count(), [&](const std::string& line) {
    return ParseDefinition(line, def) && SameText(def.name, name) && accept(def);
  }) != kNoLine;
}

}  // namespace

bool FindIntegerConstant(const LineList& list, std::string_view name, std::int32_t& value) {
  return FindDefinition(list, name, [&](const Definition& def) {
    if (!IsIntegerText(def.value)) return false;
    auto parsed = ParseInt32(def.value);
    if (!parsed) return false;
    value = *parsed;
    return true;
  });
}

bool FindTypeCode(const LineList& list, std::string_view type_name, std::string& code) {
  return FindDefinition(list, "vt_" + std::string(type_name), [&](const Definition& def) {
    if (!IsIntegerText(def.value) || !ParseInt32(def.value)) return false;
    code = def.name;
    return true;
  });
}

bool FindNumericValue(const LineList& list, std::string& name, int& prefix) {
  std::string found;
  int found_prefix = -1;
  bool ok = FindDefinition(list, name, [&](const Definition& def) {
    found = def.value;
    return NormaliseNumberText(found, found_prefix);
  });
  if (ok) {
    name = std::move(found);
    prefix = found_prefix;
  }
  return ok;
}

bool FindTypeAlias(const LineList& list, std::string& name) {
  std::string found;
  bool ok = FindDefinition(list, name, [&](const Definition& def) {
    if (ContainsText(def.body, "setmetatable") || Contains(def.value, ":")) return false;
    if (Contains(def.value, "{")) return false;
    std::string probe = def.value;
    int prefix;
    if (NormaliseNumberText(probe, prefix)) return false;
    found = def.value;
    return true;
  });
  if (ok) name = std::move(found);
  return ok;
}

bool FindFieldValue(const LineList& list, std::string& name, std::string_view key) {
  std::string found;
  bool ok = FindDefinition(list, name, [&](const Definition& def) {
    Pos k = FindText(def.body, key, 1);
    if (k == 0) return false;
    Pos q = k + Len(key);
    Pos space = FindChar(def.body, ' ', q + 2);
    found = space == 0 ? std::string() : Slice(def.body, q + 2, space - 1);
    int prefix;
    return NormaliseNumberText(found, prefix);
  });
  if (ok) name = std::move(found);
  return ok;
}

bool GetWholeAndMaxSize(const LineList& list, std::string& name, int& max_size) {
  max_size = -1;
  std::string copy = name;
  if (!FindFieldValue(list, name, " nWholeSize ")) return false;
  if (!FindFieldValue(list, copy, " nMaxSize ")) return false;
  auto value = ParseInt32(copy);
  if (!value) return false;
  max_size = *value;
  return true;
}

bool GetStructureSizes(const LineList& list, std::string& name, int& max_size) {
  std::set<std::string> followed;
  std::string type = name;
  // Every turn follows a name not followed before.
  while (true) {
    std::string sizes = type;
    if (GetWholeAndMaxSize(list, sizes, max_size)) {
      name = std::move(sizes);
      return true;
    }
    if (!followed.insert(LowerAscii(type)).second || !FindTypeAlias(list, type)) return false;
  }
}

bool FindRoutineType(const LineList& list, std::string& name) {
  std::string found;
  bool ok = FindDefinition(list, name, [&](const Definition& def) {
    if (!Contains(def.value, ":")) return false;
    found = LowerAscii(GetValidToken(def.value, " (").token);
    return found == "procedure" || found == "function";
  });
  if (ok) name = std::move(found);
  return ok;
}

}  // namespace ct
