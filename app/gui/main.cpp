// classtable-gui [DIR]: the desktop window, working in DIR (by default the
// current folder).
#include <QApplication>
#include <QFontDatabase>
#include <QStringList>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "app/gui/dialogs.h"
#include "app/gui/gui_texts.h"
#include "app/gui/main_window.h"
#include "app/gui/qt_text.h"
#include "app/gui/qt_translation.h"
#include "pipeline/texts.h"
#include "text/files.h"
#include "text/line_list.h"

#ifndef CLASSTABLE_VERSION
#define CLASSTABLE_VERSION "0"
#endif

namespace {

constexpr int kExitBadFolder = 3;
constexpr int kExitUsage = 64;

constexpr const char* kUsage =
    "Usage: classtable-gui [DIR]\n"
    "\n"
    "Opens the converter's window working in DIR (default: the current folder):\n"
    "DIR/ClassTable.txt is read, written from the prelude when missing, and the\n"
    "intermediate files and ClassType.lua are written beside it.\n"
    "\n"
    "  --help      show this text\n"
    "  --version   show the version\n";

}  // namespace

int main(int argc, char** argv) {
  // Answered before Qt looks for a display, so that both work without one.
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::puts("classtable-gui " CLASSTABLE_VERSION);
    return 0;
  }
  ct::LetOversizedWritesFail();
  QApplication app(argc, argv);
  QApplication::setOrganizationName(QStringLiteral("classtable"));
  QApplication::setApplicationName(QStringLiteral("classtable-gui"));
  QApplication::setApplicationVersion(QStringLiteral(CLASSTABLE_VERSION));
  ct::gui::LoadQtTranslation(app);
  QStringList args = QApplication::arguments();
  args.removeFirst();
  if (args.size() > 1 || (args.size() == 1 && args[0].startsWith(QLatin1Char('-')))) {
    std::fputs(kUsage, stderr);
    return kExitUsage;
  }

  ct::gui::QtDialogs dialogs;
  // Without a face for Chinese every caption would be empty boxes; say so
  // in words that any font shows, and go on.
  if (QFontDatabase::families(QFontDatabase::SimplifiedChinese).isEmpty())
    dialogs.Message(nullptr, ct::gui::FromUtf8(ct::gui_texts::kNoChineseFontCaption),
                    ct::gui::FromUtf8(ct::gui_texts::kNoChineseFont), ct::gui::BoxIcon::kError);

  std::error_code ec;
  std::filesystem::path folder = args.isEmpty() ? std::filesystem::current_path(ec)
                                                : std::filesystem::absolute(ct::gui::PathFromQString(args[0]), ec);
  if (ec || !std::filesystem::is_directory(folder, ec)) {
    QString shown = args.isEmpty() ? QStringLiteral(".") : args[0];
    dialogs.Message(nullptr, ct::gui::FromUtf8(ct::texts::kCaptionConfirm),
                    ct::gui::FromUtf8(ct::gui_texts::kBadFolder) + shown, ct::gui::BoxIcon::kError);
    return kExitBadFolder;
  }

  ct::gui::TForm1 window(folder, dialogs);
  window.FormCreate();
  window.show();
  return QApplication::exec();
}
