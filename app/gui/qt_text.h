// Where the core's GBK bytes meet the widgets' Unicode strings.
#pragma once

#include <QString>

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "text/line_list.h"

namespace ct::gui {

// For display: undecodable bytes show as U+FFFD, and the CR LF line breaks of
// the system's texts become the widgets' line breaks.
QString FromGbk(std::string_view gbk);
QString FromUtf8(std::string_view utf8);

// A list as an editor shows it: one paragraph per line.
QString EditorText(const std::vector<std::string>& lines);

// The editor's text as GBK lines; nullopt when a character has no GBK form,
// `bad_line` then holds the 0-based line of the first one.
std::optional<LineList> LinesFromEditor(const QString& text, size_t& bad_line);

// A path chosen in a dialog, in the file system's own encoding.
std::filesystem::path PathFromQString(const QString& path);
QString QStringFromPath(const std::filesystem::path& path);

}  // namespace ct::gui
