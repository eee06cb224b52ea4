// Paths as people write and read them. A path a person typed arrives as
// UTF-8 (on Windows converted from the wide command line), and every message
// shows a path in UTF-8, spelt as it was given.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace ct {

// The path that `utf8` spells. On POSIX systems the bytes are the path as
// they are, UTF-8 or not.
std::filesystem::path PathFromUtf8(std::string_view utf8);

// `path` in UTF-8 for a message. On Windows, where a folder the user wrote
// with "/" gains a file name after a "\", every separator becomes the kind
// that comes first in the path, so it reads as the user spelt it.
std::string PathText(const std::filesystem::path& path);

}  // namespace ct
