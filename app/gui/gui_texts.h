// The window's own texts beyond the run's: its captions, menus and views,
// its title, its questions, and what it says when a file or the editor's
// text cannot be handled. UTF-8, for Qt strings.
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
inline constexpr std::string_view kStop = "停止";

// ---- Menus ------------------------------------------------------------------------
inline constexpr std::string_view kFileMenu = "文件(&F)";
inline constexpr std::string_view kOpenInput = "打开 ClassTable.txt(&O)";
inline constexpr std::string_view kSaveInput = "保存 ClassTable.txt(&S)";
inline constexpr std::string_view kAppendPascal = "追加 Pascal 文件(&A)...";
inline constexpr std::string_view kShowScript = "用系统程序打开 ClassType.lua(&L)";
inline constexpr std::string_view kShowFolder = "打开工作目录(&D)";
inline constexpr std::string_view kOpenFolder = "打开其他目录(&G)...";
inline constexpr std::string_view kRecentFolders = "最近的目录(&R)";
inline constexpr std::string_view kNoRecentFolders = "（无）";
inline constexpr std::string_view kQuit = "退出(&X)";
inline constexpr std::string_view kEditMenu = "编辑(&E)";
inline constexpr std::string_view kFind = "查找(&F)";
inline constexpr std::string_view kFindNext = "查找下一个(&N)";
inline constexpr std::string_view kGoToLine = "转到行(&G)...";
inline constexpr std::string_view kRunMenu = "运行(&R)";
inline constexpr std::string_view kStartOrContinue = "开始 / 继续(&S)";
inline constexpr std::string_view kStopRun = "停止(&T)";

// ---- Tabs, lists and the find bar --------------------------------------------------------
inline constexpr std::string_view kEditorTab = "编辑器";
inline constexpr std::string_view kStructureTab = "结构";
inline constexpr std::string_view kLogTab = "日志";
inline constexpr std::string_view kProblemsTab = "问题";
inline constexpr std::string_view kProblemsTabCount = "问题 (%1)";
inline constexpr std::string_view kProblemKind = "类别";
inline constexpr std::string_view kProblemLine = "行号";
inline constexpr std::string_view kProblemText = "说明";
inline constexpr std::string_view kProblemFailure = "失败";
inline constexpr std::string_view kProblemUnresolved = "未解析";
inline constexpr std::string_view kProblemLeftOut = "已略去";
inline constexpr std::string_view kFindPlaceholder = "查找";
inline constexpr std::string_view kFindPrevious = "上一个";
inline constexpr std::string_view kFindNextButton = "下一个";
inline constexpr std::string_view kNotFound = "未找到：%1";
inline constexpr std::string_view kGoToLineTitle = "转到行";
inline constexpr std::string_view kGoToLinePrompt = "行号（1 - %1）：";
inline constexpr std::string_view kChooseFolderTitle = "选择工作目录";
inline constexpr std::string_view kPascalFilter = "Pascal 源代码 (*.pas *.pp *.inc *.dpr *.lpr);;所有文件 (*)";

// ---- The structure view ------------------------------------------------------------------
inline constexpr std::string_view kStructureName = "结构";
inline constexpr std::string_view kStructureSize = "大小";
inline constexpr std::string_view kStructureHoles = "空隙";
inline constexpr std::string_view kRowOffset = "偏移";
inline constexpr std::string_view kRowSize = "大小";
inline constexpr std::string_view kRowMember = "成员";
inline constexpr std::string_view kRowType = "类型";
inline constexpr std::string_view kRowDeclaredIn = "声明于";
inline constexpr std::string_view kHoleRow = "（空隙）";
inline constexpr std::string_view kPaddingRow = "（尾部填充）";
inline constexpr std::string_view kStructureSummary = "%1：%2 字节，对齐 %3，空隙与填充 %4 字节";
inline constexpr std::string_view kDerivedFrom = "，派生自 %1";
inline constexpr std::string_view kUnknownSize = "?";
inline constexpr std::string_view kNoStructures = "成功完成转换后，这里列出 ClassType.lua 的每个结构及其内存布局。";

// ---- The status bar --------------------------------------------------------------------
inline constexpr std::string_view kStageProgress = "第 %1/%2 步";
inline constexpr std::string_view kCycleProgress = "，布局第 %1 轮";
inline constexpr std::string_view kElapsed = "用时 %1 秒";
inline constexpr std::string_view kAppended = "已将 %1 追加到 ClassTable.txt";
inline constexpr std::string_view kSaved = "已保存 %1";
inline constexpr std::string_view kBusyEditor = "转换进行中，结束后再打开";

// ---- Title and file problems ------------------------------------------------------------
inline constexpr std::string_view kWindowTitle = "Lua类型表生成器";
inline constexpr std::string_view kCannotReadFile = "无法读取文件 ";
inline constexpr std::string_view kNotGbkHead = "第 ";
inline constexpr std::string_view kNotGbkTail = " 行含有GBK编码无法表示的字符，未做任何更改。";
inline constexpr std::string_view kRunAbortedHead = "转换过程异常中止：";
inline constexpr std::string_view kBadFolder = "无法使用工作目录 ";

// ---- Questions and warnings ------------------------------------------------------------------
inline constexpr std::string_view kNoMoreOfThese = "本次转换中不再显示此类提示";
inline constexpr std::string_view kStopAndClose = "转换仍在进行。停止转换并关闭窗口吗？";
inline constexpr std::string_view kSaveInputFirst = "ClassTable.txt 已在编辑器中修改。开始转换前先存盘吗？";
inline constexpr std::string_view kSaveInputBeforeLeaving = "ClassTable.txt 在编辑器中的修改尚未存盘。要存盘吗？";
inline constexpr std::string_view kUtf8Input =
    "ClassTable.txt 是不带 BOM 的 UTF-8 文本，而转换按 GBK 读取它，中文会成为乱码。\n\n"
    "请用菜单“文件 > 打开 ClassTable.txt”在编辑器中打开它（按 UTF-8 读取），再“保存 ClassTable.txt”，"
    "文件即存为 GBK，然后再开始转换。";
inline constexpr std::string_view kOpenedAsUtf8 = "ClassTable.txt 按 UTF-8 读取；存盘后即为 GBK";
// Shown where no Chinese can be drawn, so in plain ASCII.
inline constexpr std::string_view kNoChineseFontCaption = "classtable-gui";
inline constexpr std::string_view kNoChineseFont =
    "No installed font can show Chinese, and every caption of this window is Chinese.\n\n"
    "Install one, for example: sudo apt install fonts-wqy-zenhei\n"
    "then start classtable-gui again.";

}  // namespace ct::gui_texts
