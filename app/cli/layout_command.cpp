#include "app/cli/layout_command.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string_view>

#include "pipeline/layout_report/layout_report.h"
#include "text/gbk.h"
#include "text/paths.h"

namespace ct::cli {

namespace {

constexpr int kExitSucceeded = 0;
constexpr int kExitNameMissing = 1;
constexpr int kExitFile = 3;
constexpr int kExitUsage = 64;

std::string Utf8(std::string_view gbk) { return GbkToUtf8(gbk); }

// Columns line up in a terminal that shows a Chinese character two columns wide.
size_t Columns(std::string_view utf8) {
  size_t columns = 0;
  for (size_t i = 0; i < utf8.size(); ++i) {
    const auto byte = static_cast<unsigned char>(utf8[i]);
    if ((byte & 0xC0) == 0x80) continue;
    columns += byte >= 0xE0 ? 2 : 1;
  }
  return columns;
}

std::string PadRight(const std::string& utf8, size_t columns) {
  size_t have = Columns(utf8);
  return utf8 + std::string(columns > have ? columns - have : 0, ' ');
}

std::string PadLeft(const std::string& text, size_t columns) {
  return std::string(columns > text.size() ? columns - text.size() : 0, ' ') + text;
}

std::string SizeText(const std::optional<std::int64_t>& size) { return size ? std::to_string(*size) : "?"; }

void WriteText(const StructureLayout& s, std::ostream& out) {
  out << Utf8(s.name) << ": " << SizeText(s.size) << " bytes";
  if (s.alignment) out << ", aligned to " << *s.alignment;
  if (!s.parent.empty()) out << ", derived from " << Utf8(s.parent);
  if (std::int64_t holes = s.HoleBytes(); holes != 0) out << ", " << holes << " bytes of holes and padding";
  out << '\n';
  size_t name_width = 6;
  for (const LayoutRow& row : s.rows) name_width = std::max(name_width, Columns(Utf8(row.name)));
  out << "  " << PadLeft("offset", 7) << "  " << PadLeft("size", 6) << "  " << PadRight("member", name_width)
      << "  type\n";
  for (const LayoutRow& row : s.rows) {
    out << "  " << PadLeft(std::to_string(row.offset), 7) << "  " << PadLeft(SizeText(row.size), 6) << "  ";
    switch (row.kind) {
      case LayoutRow::Kind::kHole:
        out << "(hole)\n";
        continue;
      case LayoutRow::Kind::kPadding:
        out << "(padding)\n";
        continue;
      case LayoutRow::Kind::kMember:
        break;
    }
    out << PadRight(Utf8(row.name), name_width) << "  " << Utf8(row.type);
    if (row.declared_in != s.name && !row.declared_in.empty()) out << "  (" << Utf8(row.declared_in) << ")";
    out << '\n';
  }
}

std::string JsonString(std::string_view gbk) {
  std::string out = "\"";
  for (char c : Utf8(gbk)) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20) {
      static constexpr char kHex[] = "0123456789abcdef";
      out += "\\u00";
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string JsonNumber(const std::optional<std::int64_t>& value) { return value ? std::to_string(*value) : "null"; }

const char* KindName(LayoutRow::Kind kind) {
  switch (kind) {
    case LayoutRow::Kind::kHole: return "hole";
    case LayoutRow::Kind::kPadding: return "padding";
    case LayoutRow::Kind::kMember: break;
  }
  return "member";
}

void WriteJson(const std::vector<const StructureLayout*>& structures, std::ostream& out) {
  out << "{\"structures\": [";
  for (size_t k = 0; k < structures.size(); ++k) {
    const StructureLayout& s = *structures[k];
    out << (k == 0 ? "\n" : ",\n") << "  {\"name\": " << JsonString(s.name)
        << ", \"parent\": " << (s.parent.empty() ? "null" : JsonString(s.parent)) << ", \"size\": " << JsonNumber(s.size)
        << ", \"alignment\": " << JsonNumber(s.alignment) << ", \"rows\": [";
    for (size_t r = 0; r < s.rows.size(); ++r) {
      const LayoutRow& row = s.rows[r];
      out << (r == 0 ? "\n" : ",\n") << "    {\"kind\": \"" << KindName(row.kind) << "\", \"offset\": " << row.offset
          << ", \"size\": " << JsonNumber(row.size);
      if (row.kind == LayoutRow::Kind::kMember)
        out << ", \"name\": " << JsonString(row.name) << ", \"type\": " << JsonString(row.type)
            << ", \"declared_in\": " << JsonString(row.declared_in);
      out << "}";
    }
    out << (s.rows.empty() ? "]}" : "\n  ]}");
  }
  out << (structures.empty() ? "]}\n" : "\n]}\n");
}

}  // namespace

int LayoutCommand(const std::vector<std::string>& args) {
  bool json = false;
  std::vector<std::string> words;
  for (const std::string& arg : args) {
    if (arg == "--json") {
      json = true;
    } else if (!arg.empty() && arg[0] == '-') {
      std::cerr << "classtable: unknown option " << arg << " for layout\n";
      return kExitUsage;
    } else {
      words.push_back(arg);
    }
  }
  // The first word names the folder when it is one, or when it is spelt as
  // a path; names follow.
  std::filesystem::path folder = ".";
  std::error_code ec;
  const std::string_view separators = std::filesystem::path::preferred_separator == '\\' ? "/\\" : "/";
  if (!words.empty() && (std::filesystem::is_directory(PathFromUtf8(words.front()), ec) ||
                         words.front().find_first_of(separators) != std::string::npos)) {
    folder = PathFromUtf8(words.front());
    words.erase(words.begin());
  }
  LayoutReport report;
  std::string error;
  if (!ReadLayoutReport(folder, report, error)) {
    std::cerr << "classtable: " << error << " (run classtable convert first)\n";
    return kExitFile;
  }
  std::vector<const StructureLayout*> chosen;
  int status = kExitSucceeded;
  if (words.empty()) {
    for (const StructureLayout& s : report.structures) chosen.push_back(&s);
  }
  for (const std::string& word : words) {
    std::optional<std::string> name = Utf8ToGbk(word);
    const StructureLayout* found = name ? report.Find(*name) : nullptr;
    if (found == nullptr) {
      std::cerr << "classtable: no structure " << word << " in ClassType.lua\n";
      status = kExitNameMissing;
      continue;
    }
    chosen.push_back(found);
  }
  if (json) {
    WriteJson(chosen, std::cout);
  } else {
    for (size_t k = 0; k < chosen.size(); ++k) {
      if (k > 0) std::cout << '\n';
      WriteText(*chosen[k], std::cout);
    }
  }
  std::cout.flush();
  return std::cout ? status : kExitFile;
}

}  // namespace ct::cli
