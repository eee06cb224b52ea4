// Every text the run and the command line show or write, in one place (the
// window's own captions are in app/gui/gui_texts.h). They are written here
// in UTF-8 and reach lists, logs and files as GBK through Gbk().
#pragma once

#include <array>
#include <string_view>

namespace ct::texts {

// ---- Run ----------------------------------------------------------------------
inline constexpr std::string_view kStartCreating = "开始创建....";
inline constexpr std::string_view kSucceededLog = "类型表创建成功！！！";
inline constexpr std::string_view kSucceededLabel = "Lua类型表创建成功！！！";
inline constexpr std::string_view kFailedLog =
    "--------------------------------类型表创建失败！！！------------------------------";
inline constexpr std::string_view kFailedLabel = "Lua类型表创建失败！！！";
inline constexpr std::string_view kFailedBox = "Lua类型表创建失败/ /请检查各中间文本的相关信息！！！";

inline constexpr std::string_view kCaptionConfirm = "确认信息";
inline constexpr std::string_view kCaptionError = "错误提示";

inline constexpr std::string_view kMarker = "--------------------";

// Stage messages, in driver order (index 0 is stage 1).
inline constexpr std::array<std::string_view, 35> kStageMessages = {
    "清理掉注释的字符",
    "剔除所有符号的空格，仅保留关键字之间的空格",
    "将语句逐条整理为单行",
    "松散化（格式化）",
    "删除垃圾行",
    "统一大小写",
    "将类标识整理成指针符号' ^ '",
    "检查嵌套关系，并将错误信息写入文本，另存为 ClassTable_A.Lua 备查",
    "检查并处理嵌套关系",
    "将整理后的文本另存为 ClassTable_B.lua",
    "各种结构整理成Lua数组格式",
    "保存原始类型声明到 ClassTable_C.lua 备用",
    "将各种结构类型及其指针替换成结构或类型的长度",
    "将生成的表结构合并在同一行",
    "用字段的（长度）值替换字段引用",
    "保存中间文本到 ClassTable_D.lua 备查",
    "计算并替换表达式,计算每个结构的整体长度,如果进入死循环或完成转换则退出",
    "请检查最后一行，有没有报错信息",
    "0长度的结构加上nWholeSize,后面的步骤要用",
    "保存中间文本到 ClassTable_E.lua 备查",
    "根据父类的nWholeSize计算成员实际偏移",
    "偏移处理完毕，删除无用的field",
    "恢复指针声明、转换数组表达式, 使用中间文本 ClassTable_B.lua, 表和公共变量暂不处理, 是类型声明直接转成声明",
    "计算并替换表达式的（长度）值",
    "（中间文本）查看中间文本表达式替换的情况",
    "将结构转换为API认可格式",
    "将公共变量转换为API认可格式",
    "保存中间文本到 ClassTable_F.lua 备查",
    "将结构行按嵌套关系排序",
    "根据继承关系与父类合并成员",
    "整理文本，剔除无用行",
    "生成Lua绑定表",
    "将生成的文本按阅读习惯分行列出,类型声明和类型描述用表表示,空数组不分行,常量声明，单行处理",
    "整理lua表结构",
    "生成最终成品变量偏移表",
};

// ---- Numbers --------------------------------------------------------------------
inline constexpr std::string_view kBadNumberLogHead = "--------------------数值判断过程异常 '";
inline constexpr std::string_view kBadNumberLogTail = "' ！！！！！！！！！！！！！！！";
inline constexpr std::string_view kBadNumberBox = "数值判断过程异常";

// ---- Nesting check -----------------------------------------------------------------
inline constexpr std::string_view kMismatchLog = "--------------------符号嵌套关系不匹配！！！！！！！！！！！！！！！！";
inline constexpr std::string_view kMismatchBox = "符号嵌套关系不匹配！";
inline constexpr std::string_view kUnclosedLog = "--------------------符号没有闭合！！！！！！！！！！！！！！！！";
inline constexpr std::string_view kUnclosedBox = "符号没有闭合！";
inline constexpr std::string_view kNestingLineHead = "--------------------所在行数：[";
inline constexpr std::string_view kNestingLineTail = "]附近。";
inline constexpr std::string_view kNestingPositionHead = "--------------------符号位置：[";
inline constexpr std::string_view kNestingPositionTail = "]";
inline constexpr std::string_view kNestingStatementHead = "--------------------所在字符串：";
inline constexpr std::string_view kNestingFileHead = "--------------------所在文本：";

// ---- Layout ----------------------------------------------------------------------
inline constexpr std::string_view kLayoutSucceededLine = "::::: OK！ 结构内部偏移量顺利生成 :::::";
inline constexpr std::string_view kLayoutIncompleteLog =
    "--------------------结构内部偏移量生成不完整！！！！！！！！！！！！！！！！";
inline constexpr std::string_view kLayoutIncompleteBox = "结构内部偏移量生成不完整！";
inline constexpr std::string_view kLayoutFailedLineHead = "--------------------失败行号= ";
inline constexpr std::string_view kLayoutUnknownType = " 未知数据类型: ";
inline constexpr std::string_view kLayoutIndexHead = " N=";
// A structure the layout could not finish: "结构 TFoo 未能生成偏移，已从
// ClassType.lua 中略去：成员 b 未知数据类型: "TMissing"" in the log, with the
// input line after it; "结构 TFoo 已略去：..." as a problem.
inline constexpr std::string_view kLeftOutLogHead = "结构 ";
inline constexpr std::string_view kLeftOutLogMiddle = " 未能生成偏移，已从 ClassType.lua 中略去：";
inline constexpr std::string_view kLeftOutProblemMiddle = " 已略去：";
inline constexpr std::string_view kLeftOutMember = "成员 ";
inline constexpr std::string_view kLeftOutParent = "父类";
// An entry that names a structure left out: "TUser.p 指向已略去的结构 TFoo，
// 改写为普通指针", or, when it holds that structure itself, "TUser.x（偏移 8）
// 的类型是已略去的结构 TFoo，此成员已略去".
inline constexpr std::string_view kPointerToLeftOut = " 指向已略去的结构 ";
inline constexpr std::string_view kPointerToLeftOutTail = "，改写为普通指针";
inline constexpr std::string_view kOffsetHead = "（偏移 ";
inline constexpr std::string_view kOffsetTail = "）";
inline constexpr std::string_view kHoldsLeftOut = " 的类型是已略去的结构 ";
inline constexpr std::string_view kHoldsLeftOutTail = "，此成员已略去";

// ---- Script -----------------------------------------------------------------------
// Before a table's name or an entry that Lua cannot read as data.
inline constexpr std::string_view kUndescribed = "无法描述的类型：";

// ---- Restoration and accessor format ------------------------------------------------
inline constexpr std::string_view kListLengthLogHead = "--------------------List长度(";
inline constexpr std::string_view kListLengthBoxHead = "List长度(";
inline constexpr std::string_view kListLengthMiddle = ") 与TmpList长度(";
inline constexpr std::string_view kListLengthLogTail = ")不符！！！！！！！！！！！！！！";
inline constexpr std::string_view kListLengthBoxTail = ")不符！";
inline constexpr std::string_view kLineCountLogHead = "--------------------中间文本TempList与当前进度list行数不符！ ";
inline constexpr std::string_view kLineCountLogTail = "  ！！！！！！！！！！！";
inline constexpr std::string_view kLineCountBox = "中间文本TempList与当前进度list行数不符！";

// ---- Structures and classes as declared -----------------------------------------------
inline constexpr std::string_view kOpenStructureHead = "结构 ";
inline constexpr std::string_view kOpenStructureDeclaration = " 还没有结束（缺少 end;？），其中就出现了不是成员的声明 ";
inline constexpr std::string_view kOpenStructureAtEnd = " 没有以 end; 结束，文本就结束了！";
inline constexpr std::string_view kOpenStructureBox = "有结构没有以 end; 结束！";
inline constexpr std::string_view kInheritanceCycleHead = "类 ";
inline constexpr std::string_view kInheritanceCycleTail = " 继承自身或自己的子类！";
inline constexpr std::string_view kInheritanceCycleBox = "有类继承自身或自己的子类！";

// ---- What ClassType.lua may hold ----------------------------------------------------
inline constexpr std::string_view kLeftOutHead = "ClassType.lua 略去了不是数据的一行：";
inline constexpr std::string_view kReasonOpen = "（";
inline constexpr std::string_view kReasonClose = "）";
inline constexpr std::string_view kReasonStructure = "结构 ";
inline constexpr std::string_view kReasonStructureTail = "：";
inline constexpr std::string_view kNotDataLine = "不是数据表的写法";
inline constexpr std::string_view kUndefinedNameHead = "用到了脚本没有定义的名称 ";
inline constexpr std::string_view kNotLuaNameHead = "名称 ";
inline constexpr std::string_view kNotLuaNameTail = " 不是 Lua 能用的名字";
inline constexpr std::string_view kReservedNameHead = "名称 ";
inline constexpr std::string_view kReservedNameTail = " 会改写 Lua 或宿主自己的全局变量";
inline constexpr std::string_view kUnknownMemberHead = "表中没有成员 ";
inline constexpr std::string_view kTableNotClosed = "这个表没有结束";
inline constexpr std::string_view kLeftOutBox = "ClassType.lua 中有不是数据的行，已略去！";
inline constexpr std::string_view kTableMissingHead = "结构 ";
inline constexpr std::string_view kTableMissingTail = " 已排好偏移，ClassType.lua 中却没有它的表！";
inline constexpr std::string_view kTableMissingBox = "ClassType.lua 缺少已排好偏移的结构！";

// ---- First start ----------------------------------------------------------------------
inline constexpr std::string_view kInputFileName = "ClassTable.txt";
// After a report's own text: where in the input a person has to look.
inline constexpr std::string_view kInputLineHead = "（";
inline constexpr std::string_view kInputLineMiddle = " 第 ";
inline constexpr std::string_view kInputLineTail = " 行）";
inline constexpr std::string_view kPreludeNoticeHead = "未发现源代码文本 ";
inline constexpr std::string_view kPreludeNoticeTail =
    "\r\n 已为您生成并保存了基础文本\r\n\r\n请将欲转换的Delphi(Pascal)头文件代码追加到该文本尾部\r\n并将文本存盘后再执行转换！";

// ---- Keyword list ---------------------------------------------------------------------
inline constexpr std::string_view kKeywordsDone = "KeyWord文本生成完毕！";

// ---- Conditions the original leaves unhandled ------------------------------------------
inline constexpr std::string_view kCannotReadInput = "无法读取源代码文本 ";
inline constexpr std::string_view kCannotWriteFile = "无法保存文件 ";
inline constexpr std::string_view kCannotRemoveFile = "无法删除上次留下的文件 ";
inline constexpr std::string_view kLockFileName = "ClassTable.lock";
inline constexpr std::string_view kFolderBusyHead = "另一个转换（进程 ";
inline constexpr std::string_view kFolderBusyTail = "）正在使用这个文件夹，请等它结束后再试！";
inline constexpr std::string_view kFolderBusy = "另一个转换正在使用这个文件夹，请等它结束后再试！";
inline constexpr std::string_view kCannotLock = "无法锁定这个文件夹 ";
inline constexpr std::string_view kNoDeclarations =
    "ClassTable.txt 中预置文本之后没有要转换的声明，ClassType.lua 和各中间文本保持原样！";
inline constexpr std::string_view kWideInputHead = "源代码文本 ClassTable.txt 是 ";
inline constexpr std::string_view kWideInputTail = " 编码的，请另存为 GBK（或带 BOM 的 UTF-8）编码后再转换！";
inline constexpr std::string_view kUtf8InputConverted = "源代码文本为带 BOM 的 UTF-8 编码，已转换为 GBK 后再处理";
inline constexpr std::string_view kUtf8LineNotGbkHead = "源代码文本第 ";
inline constexpr std::string_view kUtf8LineNotGbkTail = " 行含有 GBK 无法表示的字符，无法转换";
inline constexpr std::string_view kRunStoppedLog = "--------------------转换已按要求停止，此前保存的文件保持不变";

}  // namespace ct::texts
