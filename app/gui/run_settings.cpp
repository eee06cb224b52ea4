#include "app/gui/run_settings.h"

#include <QSettings>
#include <QString>

namespace ct::gui {

namespace {

const QString kRecordPaddingKey = QStringLiteral("run/recordPadding");
const QString kLargest = QStringLiteral("largest");

// The user's settings of this program, wherever the platform keeps them.
QSettings Settings() { return QSettings(QStringLiteral("classtable"), QStringLiteral("classtable-gui")); }

}  // namespace

RunOptions LoadRunOptions() {
  RunOptions options;
  // Anything but "largest" (nothing stored, or a value of another version)
  // keeps the default.
  if (Settings().value(kRecordPaddingKey).toString() == kLargest) options.record_padding = RecordPadding::kLargest;
  return options;
}

void SaveRunOptions(const RunOptions& options) {
  Settings().setValue(kRecordPaddingKey,
                      options.record_padding == RecordPadding::kLargest ? kLargest : QStringLiteral("4"));
}

}  // namespace ct::gui
