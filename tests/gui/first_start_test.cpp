// The window's first start in a folder: the prelude is written once, the
// user is told, and an existing input file is never touched.
#include <QtTest>

#include "app/gui/main_window.h"
#include "resources/prelude.h"
#include "tests/gui/gui_support.h"
#include "tests/support/run_folder.h"
#include "text/line_list.h"

namespace ct::testing {

class FirstStartTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { ForgetSettings(); }

  void writesPreludeAndShowsNotice() {
    TempFolder folder;
    FakeDialogs dialogs;
    gui::TForm1 window(folder.path(), dialogs);
    window.FormCreate();

    LineList prelude;
    prelude.SetText(ReadPrelude(kPreludeResource));
    QVERIFY(prelude.Count() > 100);
    QCOMPARE(folder.Read("ClassTable.txt"), prelude.Text());
    QCOMPARE(dialogs.messages.size(), size_t{1});
    QCOMPARE(dialogs.messages[0].text, QStringLiteral("未发现源代码文本 ClassTable.txt\n 已为您生成并保存了基础文本\n\n"
                                                      "请将欲转换的Delphi(Pascal)头文件代码追加到该文本尾部\n"
                                                      "并将文本存盘后再执行转换！"));
    QCOMPARE(dialogs.messages[0].icon, gui::BoxIcon::kNone);
  }

  void secondStartLeavesTheUsersFileAlone() {
    TempFolder folder;
    folder.Write("ClassTable.txt", "the user's own text\r\n");
    FakeDialogs dialogs;
    gui::TForm1 window(folder.path(), dialogs);
    window.FormCreate();
    QCOMPARE(folder.Read("ClassTable.txt"), std::string("the user's own text\r\n"));
    QVERIFY(dialogs.messages.empty());
  }

  void aFolderThatCannotBeWrittenIsReportedNotAnnounced() {
    TempFolder folder;
    FakeDialogs dialogs;
    gui::TForm1 window(folder.path() / "no such folder", dialogs);
    window.FormCreate();
    QVERIFY(!folder.Has("no such folder"));
    QCOMPARE(dialogs.messages.size(), size_t{1});
    QCOMPARE(dialogs.messages[0].icon, gui::BoxIcon::kError);
    QVERIFY(dialogs.messages[0].text.startsWith(QStringLiteral("无法保存文件 ClassTable.txt (")));
  }
};

}  // namespace ct::testing

QTEST_MAIN(ct::testing::FirstStartTest)
#include "first_start_test.moc"
