// The structure view after a run: every structure of ClassType.lua with its
// size, and for the one selected its members, holes and padding.
#include <QtTest>

#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

#include "app/gui/main_window.h"
#include "tests/gui/gui_support.h"
#include "tests/support/run_folder.h"

namespace ct::testing {

namespace {

constexpr int kTimeout = 30000;

QTreeWidgetItem* ItemNamed(QTreeWidget* tree, const QString& name) {
  for (int i = 0; i < tree->topLevelItemCount(); ++i)
    if (tree->topLevelItem(i)->text(0) == name) return tree->topLevelItem(i);
  return nullptr;
}

QStringList RowsOf(QTreeWidget* tree) {
  QStringList rows;
  for (int i = 0; i < tree->topLevelItemCount(); ++i) {
    QTreeWidgetItem* item = tree->topLevelItem(i);
    rows << QStringList{item->text(0), item->text(1), item->text(2), item->text(3), item->text(4)}.join(QLatin1Char('|'));
  }
  return rows;
}

}  // namespace

class StructureViewTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { ForgetSettings(); }

  void showsTheRowsAndHolesOfARecordWithPadding() {
    TempFolder folder;
    folder.Write("ClassTable.txt", WithPrelude("type\n  TPad = record b: Byte; i: Integer; w: Word; end;\n"
                                               "  TDerived = class(TObject) flag: Boolean; end;\n"));
    FakeDialogs dialogs;
    gui::TForm1 window(folder.path(), dialogs);
    Control<QPushButton>(window, "btn1")->click();
    QTRY_VERIFY_WITH_TIMEOUT(window.Idle(), kTimeout);
    auto* structures = Control<QTreeWidget>(window, "lstStructures");
    QTRY_VERIFY(ItemNamed(structures, QStringLiteral("TPad")) != nullptr);
    QTreeWidgetItem* pad = ItemNamed(structures, QStringLiteral("TPad"));
    QCOMPARE(pad->text(1), QStringLiteral("12"));
    QCOMPARE(pad->text(2), QStringLiteral("5"));
    QVERIFY(ItemNamed(structures, QStringLiteral("TPoint")) != nullptr);  // the prelude's too

    structures->setCurrentItem(pad);
    QCOMPARE(RowsOf(Control<QTreeWidget>(window, "lstLayout")), (QStringList{
                                                                    "0|1|b|vt_Byte|",
                                                                    "1|3|（空隙）||",
                                                                    "4|4|i|vt_Integer|",
                                                                    "8|2|w|vt_Word|",
                                                                    "10|2|（尾部填充）||",
                                                                }));
    QVERIFY(Control<QLabel>(window, "lblStructure")->text().startsWith(QStringLiteral("TPad：12 字节，对齐 4")));

    // An inherited member names the class that declares it.
    structures->setCurrentItem(ItemNamed(structures, QStringLiteral("TDerived")));
    QCOMPARE(RowsOf(Control<QTreeWidget>(window, "lstLayout")).front(), QStringLiteral("0|4|Vmt|vt_Pointer|TObject"));
  }

  void aNewRunEmptiesItAndAFailedOneLeavesItEmpty() {
    TempFolder folder;
    folder.Write("ClassTable.txt", WithPrelude("type TBad = record a: TMissing; end;"));
    FakeDialogs dialogs;
    gui::TForm1 window(folder.path(), dialogs);
    Control<QPushButton>(window, "btn1")->click();
    QTRY_VERIFY_WITH_TIMEOUT(window.Idle(), kTimeout);
    QCOMPARE(Control<QTreeWidget>(window, "lstStructures")->topLevelItemCount(), 0);
  }
};

}  // namespace ct::testing

QTEST_MAIN(ct::testing::StructureViewTest)
#include "structure_view_test.moc"
