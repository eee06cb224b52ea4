// The command line's side of the operating system: its arguments and its
// standard streams as bytes. One side for POSIX systems, one for Windows
// (standard_streams_posix.cpp, standard_streams_windows.cpp).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ct::cli {

// Called once at start-up. A closed pipe then fails a write instead of
// killing the process between two saves; on Windows every standard stream
// takes bytes as they are (no CR before LF, no end at 0x1A) and the console
// shows UTF-8.
void PrepareStandardStreams();

// The arguments after the program's name, in UTF-8. Windows hands `argv`
// over in the ANSI code page, which has no room for a folder named in
// Chinese: there they are read as wide strings.
std::vector<std::string> CommandLineWords(int argc, char** argv);

// One write to standard output: how many bytes it took (at least one), or 0
// with `reader_gone` set when the reader closed its end, or with `failure`
// saying why otherwise.
size_t WriteSomeToStandardOutput(std::string_view bytes, bool& reader_gone, std::string& failure);

// One read of standard input into `buffer`: how many bytes, 0 at its end, or
// 0 with `failure` saying why.
size_t ReadSomeOfStandardInput(char* buffer, size_t size, std::string& failure);

}  // namespace ct::cli
