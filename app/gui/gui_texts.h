// The window's own texts beyond the run's: its title and what it says when a
// file of the keyword tool or the editor's text cannot be handled. UTF-8, for
// Qt strings.
#pragma once

#include <string_view>

namespace ct::gui_texts {

inline constexpr std::string_view kWindowTitle = "Lua类型表生成器";
inline constexpr std::string_view kCannotReadFile = "无法读取文件 ";
inline constexpr std::string_view kNotGbkHead = "第 ";
inline constexpr std::string_view kNotGbkTail = " 行含有GBK编码无法表示的字符，未做任何更改。";
inline constexpr std::string_view kRunAbortedHead = "转换过程异常中止：";
inline constexpr std::string_view kBadFolder = "无法使用工作目录 ";

}  // namespace ct::gui_texts
