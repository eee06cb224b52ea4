// The window's own texts beyond the run's: its captions, its title and what
// it says when a file of the keyword tool or the editor's text cannot be
// handled. UTF-8, for Qt strings.
#pragma once

#include <string_view>

namespace ct::gui_texts {

// ---- Captions ------------------------------------------------------------------------
inline constexpr std::string_view kStart = "开始";
inline constexpr std::string_view kContinue = "继续";
inline constexpr std::string_view kWaiting = "等待...";
inline constexpr std::string_view kCurrentLine = "当前行号";
inline constexpr std::string_view kLineNumberHead = "第 ";
inline constexpr std::string_view kLineNumberTail = " 行";
inline constexpr std::string_view kGenerateGroup = "生成ClassType脚本";
inline constexpr std::string_view kAutoRun = "自动执行";
inline constexpr std::string_view kPadToLargest = "结构按最大对齐补齐";
inline constexpr std::string_view kPadToLargestTip =
    "不勾选：结构长度补齐到4的倍数（宿主所用年代的编译器）；\n"
    "勾选：补齐到结构中最大的成员对齐（现代编译器）";
inline constexpr std::string_view kKeywordGroup = "转换Keyword关键字";
inline constexpr std::string_view kFromContent = "从当前内容转换";
inline constexpr std::string_view kFromFile = "从文本文件转换";
inline constexpr std::string_view kConvert = "转换";
inline constexpr std::string_view kSave = "存盘";

// ---- Title and file problems ------------------------------------------------------------
inline constexpr std::string_view kWindowTitle = "Lua类型表生成器";
inline constexpr std::string_view kCannotReadFile = "无法读取文件 ";
inline constexpr std::string_view kNotGbkHead = "第 ";
inline constexpr std::string_view kNotGbkTail = " 行含有GBK编码无法表示的字符，未做任何更改。";
inline constexpr std::string_view kRunAbortedHead = "转换过程异常中止：";
inline constexpr std::string_view kBadFolder = "无法使用工作目录 ";

}  // namespace ct::gui_texts
