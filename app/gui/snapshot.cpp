// classtable-gui-snapshot DIR OUT.png [STRUCTURE]: opens the window on DIR
// as a user's start does, performs one complete automatic run, shows the
// structure view on STRUCTURE when one is named, and saves a picture of the
// window as it stands, for the documentation. Message boxes are answered at
// once and printed instead of shown.
//
// It also checks what a user must always have: the window wholly on the
// screen with the Start button fully visible. Exit status 2 when not.
#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTest>

#include <cstdio>
#include <filesystem>

#include "app/gui/dialogs.h"
#include "app/gui/main_window.h"
#include "app/gui/qt_text.h"
#include "app/gui/structure_view.h"

namespace {

constexpr int kRunTimeoutMs = 300000;
constexpr int kExitNotVisible = 2;

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

// The Start button's rectangle on the screen, and the screen's free area.
bool StartButtonVisible(ct::gui::TForm1& window) {
  auto* start = window.findChild<QPushButton*>(QStringLiteral("btn1"));
  QRect button(start->mapToGlobal(QPoint(0, 0)), start->size());
  QRect available = window.screen()->availableGeometry();
  std::printf("screen %dx%d (device pixel ratio %.1f), window %dx%d at %d,%d, Start %dx%d at %d,%d\n",
              available.width(), available.height(), window.screen()->devicePixelRatio(), window.width(),
              window.height(), window.x(), window.y(), button.width(), button.height(), button.x(), button.y());
  return available.contains(window.frameGeometry()) && available.contains(button) && start->isVisible();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QStringList args = QApplication::arguments();
  if (args.size() != 3 && args.size() != 4) {
    std::fputs("Usage: classtable-gui-snapshot DIR OUT.png [STRUCTURE]\n", stderr);
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
  while (!window.Idle()) {
    if (waited.elapsed() > kRunTimeoutMs) {
      std::fputs("classtable-gui-snapshot: the run did not end\n", stderr);
      return 1;
    }
    QTest::qWait(20);
  }
  QTest::qWait(100);
  if (args.size() == 4) {
    window.findChild<QTabWidget*>(QStringLiteral("tabUpper"))->setCurrentIndex(1);
    if (!window.findChild<ct::gui::StructureView*>()->Select(args[3])) {
      std::fprintf(stderr, "classtable-gui-snapshot: no structure %s\n", qPrintable(args[3]));
      return 1;
    }
    QTest::qWait(100);
  }
  if (!window.grab().save(args[2])) {
    std::fprintf(stderr, "classtable-gui-snapshot: cannot write %s\n", qPrintable(args[2]));
    return 1;
  }
  if (!StartButtonVisible(window)) {
    std::fputs("classtable-gui-snapshot: the Start button is not fully on the screen\n", stderr);
    return kExitNotVisible;
  }
  return 0;
}
