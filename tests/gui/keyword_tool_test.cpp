// The keyword tool of the window: converting the editor's text or a chosen
// file, saving the editor's text, and every way those can end without
// changing anything.
#include <QtTest>

#include <QApplication>
#include <QCoreApplication>
#include <QFileDialog>
#include <QTimer>
#include <QPushButton>
#include <QRadioButton>

#include "app/gui/main_window.h"
#include "app/gui/qt_text.h"
#include "tests/gui/gui_support.h"
#include "tests/support/run_folder.h"
#include "text/gbk.h"

namespace ct::testing {

namespace {

struct KeywordSession {
  KeywordSession() : window(folder.path(), dialogs) {}

  QPlainTextEdit* memo1() { return Control<QPlainTextEdit>(window, "Memo1"); }
  void Convert(bool from_file) {
    Control<QRadioButton>(window, from_file ? "rb2" : "rb1")->setChecked(true);
    Control<QPushButton>(window, "btn2")->click();
  }
  void Save() { Control<QPushButton>(window, "btn3")->click(); }
  QString PathOf(const char* name) { return gui::QStringFromPath(folder.path() / name); }

  TempFolder folder;
  FakeDialogs dialogs;
  gui::TForm1 window;
};

const QString kWorkedExample = QStringLiteral(
    " vt_Integer = 1 \n"
    " TBase = { \n"
    "\tVmt = { 0 , vt_Pointer } , \n"
    "\tFCount = { 4 , vt_Integer } , \n"
    "}\n"
    " TBase.__index = BindGet \n"
    "-- note = x");

const QString kWorkedResult = QStringLiteral(
    "\t\"vt_Integer\",\n"
    " TBase = { \n"
    "\t\"Vmt\",\n"
    "\t\"FCount\",\n"
    "},\n"
    "--\t\"note\",");

}  // namespace

class KeywordToolTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { ForgetSettings(); }

  void convertsTheEditorText() {
    KeywordSession session;
    session.memo1()->setPlainText(kWorkedExample);
    session.Convert(false);
    QCOMPARE(session.memo1()->toPlainText(), kWorkedResult);
    QCOMPARE(session.dialogs.messages.size(), size_t{1});
    QCOMPARE(session.dialogs.messages[0].caption, QStringLiteral("确认信息"));
    QCOMPARE(session.dialogs.messages[0].text, QStringLiteral("KeyWord文本生成完毕！"));
    QCOMPARE(session.dialogs.messages[0].icon, gui::BoxIcon::kInformation);
    QVERIFY(session.dialogs.open_presets.isEmpty());
  }

  void convertsAChosenGbkFile() {
    KeywordSession session;
    session.folder.Write("words.txt", Gbk("名字 = 1\r\nTFoo\r\n// Section\r\n"));
    session.dialogs.open_answer = session.PathOf("words.txt");
    session.memo1()->setPlainText(QStringLiteral("left alone"));
    session.Convert(true);
    QCOMPARE(session.memo1()->toPlainText(), QStringLiteral("\t\"名字\",\n\t\"TFoo\",\n--\t\"Section\","));
    QCOMPARE(session.dialogs.open_presets,
             QStringList{QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("ForKeyWord.txt"))});
    QCOMPARE(session.dialogs.messages.size(), size_t{1});
  }

  // Each way out leaves the editor's text and shows the given number of
  // error boxes.
  void failuresChangeNothing_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("from_file");
    QTest::addColumn<QString>("answer");  // empty: the dialog is cancelled
    QTest::addColumn<QString>("error");   // the error box's opening, or empty for none
    QTest::newRow("cancelled open") << "keep me" << true << "" << "";
    QTest::newRow("unreadable file") << "keep me" << true << "missing.txt" << "无法读取文件 ";
    QTest::newRow("a character GBK lacks") << "ok\nbad \U0001F600" << false << "" << "第 1 行";
  }

  void failuresChangeNothing() {
    QFETCH(QString, text);
    QFETCH(bool, from_file);
    QFETCH(QString, answer);
    QFETCH(QString, error);
    KeywordSession session;
    if (!answer.isEmpty()) session.dialogs.open_answer = session.PathOf(answer.toUtf8().constData());
    session.memo1()->setPlainText(text);
    session.Convert(from_file);
    QCOMPARE(session.memo1()->toPlainText(), text);
    if (error.isEmpty()) {
      QVERIFY(session.dialogs.messages.empty());
    } else {
      QCOMPARE(session.dialogs.messages.size(), size_t{1});
      QCOMPARE(session.dialogs.messages[0].icon, gui::BoxIcon::kError);
      QVERIFY2(session.dialogs.messages[0].text.startsWith(error), qPrintable(session.dialogs.messages[0].text));
    }
  }

  void savesTheEditorAsGbkWithCrLf() {
    KeywordSession session;
    session.folder.Write("ForKeyWord.txt", "an older file that is longer than the new one\r\n");
    session.dialogs.save_answer = session.PathOf("ForKeyWord.txt");
    session.memo1()->setPlainText(QStringLiteral("\t\"名字\",\n\n\t\"B\","));
    session.Save();
    QCOMPARE(session.folder.Read("ForKeyWord.txt"), Gbk("\t\"名字\",") + "\r\n\r\n\t\"B\",\r\n");
    QVERIFY(session.dialogs.messages.empty());
    QCOMPARE(session.dialogs.save_presets,
             QStringList{QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("ForKeyWord.txt"))});
  }

  void cancelledSaveWritesNothing() {
    KeywordSession session;
    session.Save();
    QCOMPARE(session.dialogs.save_presets.size(), 1);
    QVERIFY(session.dialogs.messages.empty());
    QVERIFY(std::filesystem::is_empty(session.folder.path()));
  }

  void aSaveThatFailsIsReported() {
    KeywordSession session;
    session.dialogs.save_answer = session.PathOf("no such folder/ForKeyWord.txt");
    session.Save();
    QCOMPARE(session.dialogs.messages.size(), size_t{1});
    QCOMPARE(session.dialogs.messages[0].icon, gui::BoxIcon::kError);
    QVERIFY(session.dialogs.messages[0].text.startsWith(QStringLiteral("无法保存文件 ")));
    QVERIFY(session.dialogs.messages[0].text.contains(QStringLiteral("no such folder")));
  }

  void aTextGbkCannotHoldIsNotSaved() {
    KeywordSession session;
    session.dialogs.save_answer = session.PathOf("ForKeyWord.txt");
    session.memo1()->setPlainText(QStringLiteral("fine\nalso fine\n\U0001F600"));
    session.Save();
    QVERIFY(!session.folder.Has("ForKeyWord.txt"));
    QVERIFY(session.dialogs.save_presets.isEmpty());
    QCOMPARE(session.dialogs.messages.size(), size_t{1});
    QVERIFY(session.dialogs.messages[0].text.startsWith(QStringLiteral("第 2 行")));
  }

  // The desktop's own dialogs: named as the window's controls, opened on the
  // preset file, and a cancel is no choice.
  void realFileDialogsOfferThePreset_data() {
    QTest::addColumn<bool>("save");
    QTest::addColumn<bool>("accept");
    QTest::newRow("open, accepted") << false << true;
    QTest::newRow("open, cancelled") << false << false;
    QTest::newRow("save, accepted") << true << true;
    QTest::newRow("save, cancelled") << true << false;
  }

  void realFileDialogsOfferThePreset() {
    QFETCH(bool, save);
    QFETCH(bool, accept);
    TempFolder folder;
    // Only an existing file can be opened; saving over one would ask first.
    if (!save) folder.Write("ForKeyWord.txt", "x\r\n");
    QString preset = gui::QStringFromPath(folder.path() / "ForKeyWord.txt");
    QString name;
    QStringList offered;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (!dialog) return;
      answer.stop();
      name = dialog->objectName();
      offered = dialog->selectedFiles();
      if (accept)
        QMetaObject::invokeMethod(dialog, "accept");
      else
        dialog->reject();
    });
    answer.start(10);
    gui::QtDialogs dialogs;
    std::optional<QString> chosen = save ? dialogs.SaveFile(nullptr, preset) : dialogs.OpenFile(nullptr, preset);
    QCOMPARE(name, save ? QStringLiteral("dlgSave1") : QStringLiteral("dlgOpen1"));
    QCOMPARE(offered, QStringList{preset});
    QCOMPARE(chosen.has_value(), accept);
    if (accept) QCOMPARE(*chosen, preset);
  }
};

}  // namespace ct::testing

QTEST_MAIN(ct::testing::KeywordToolTest)
#include "keyword_tool_test.moc"
