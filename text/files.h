// Whole files in and out: the input read, the run's files and the editor's
// text saved. Every save replaces its file atomically.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "text/line_list.h"

namespace ct {

// Whole-file access. Both return false and describe the reason in `error`
// (in the system's locale-independent English) when the file system refuses.
bool ReadFileBytes(const std::filesystem::path& path, std::string& bytes, std::string& error);
// Replaces the file atomically: the bytes are written to a temporary file
// beside it and renamed over it, so an interrupted save never leaves a
// half-written file and the old file survives any failure.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes, std::string& error);

bool LoadLines(LineList& list, const std::filesystem::path& path, std::string& error);
bool SaveLines(const LineList& list, const std::filesystem::path& path, std::string& error);

// Past the process's file size limit a write then fails, and the save says
// so, instead of the signal killing the program halfway through a file.
// Every front end that saves calls it once at start-up.
void LetOversizedWritesFail();

}  // namespace ct
