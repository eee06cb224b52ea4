// classtable-gui-snapshot DIR OUT.png: opens the window on DIR, performs one
// complete automatic run, and saves a picture of the window as it stands at
// the end, for the documentation. Message boxes are answered at once and
// printed instead of shown.
#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>

#include <cstdio>
#include <filesystem>

#include "app/gui/dialogs.h"
#include "app/gui/main_window.h"
#include "app/gui/qt_text.h"

namespace {

constexpr int kRunTimeoutMs = 300000;

class PrintedDialogs : public ct::gui::Dialogs {
 public:
  void Message(QWidget*, const QString& caption, const QString& text, ct::gui::BoxIcon) override {
    std::printf("%s: %s\n", qPrintable(caption), qPrintable(QString(text).replace(QLatin1Char('\n'), QLatin1Char(' '))));
  }
  bool RunMessage(QWidget* parent, const QString& caption, const QString& text, ct::gui::BoxIcon icon,
                  const QString&) override {
    Message(parent, caption, text, icon);
    return true;
  }
  ct::gui::Answer Ask(QWidget*, const QString&, const QString&, bool) override { return ct::gui::Answer::kYes; }
  std::optional<QString> OpenFile(QWidget*, const QString&, const QString&) override { return std::nullopt; }
  std::optional<QString> SaveFile(QWidget*, const QString&) override { return std::nullopt; }
  std::optional<QString> ChooseFolder(QWidget*, const QString&) override { return std::nullopt; }
  std::optional<int> AskLine(QWidget*, int, int) override { return std::nullopt; }
  void ShowInSystem(const QString&) override {}
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QStringList args = QApplication::arguments();
  if (args.size() != 3) {
    std::fputs("Usage: classtable-gui-snapshot DIR OUT.png\n", stderr);
    return 64;
  }
  PrintedDialogs dialogs;
  ct::gui::TForm1 window(std::filesystem::absolute(ct::gui::PathFromQString(args[1])), dialogs);
  window.FormCreate();
  window.show();
  if (!QTest::qWaitForWindowExposed(&window)) {
    std::fputs("classtable-gui-snapshot: the window was never shown\n", stderr);
    return 1;
  }
  window.findChild<QPushButton*>(QStringLiteral("btn1"))->click();
  QElapsedTimer waited;
  waited.start();
  while (window.RunActive()) {
    if (waited.elapsed() > kRunTimeoutMs) {
      std::fputs("classtable-gui-snapshot: the run did not end\n", stderr);
      return 1;
    }
    QTest::qWait(20);
  }
  QTest::qWait(100);
  if (!window.grab().save(args[2])) {
    std::fprintf(stderr, "classtable-gui-snapshot: cannot write %s\n", qPrintable(args[2]));
    return 1;
  }
  return 0;
}
