#include "app/gui/run_settings.h"

#include <QSettings>
#include <QString>

namespace ct::gui {

namespace {

const QString kRecordPaddingKey = QStringLiteral("run/recordPadding");
const QString kLargest = QStringLiteral("largest");

}  // namespace

QSettings UserSettings() { return QSettings(QStringLiteral("classtable"), QStringLiteral("classtable-gui")); }

RunOptions LoadRunOptions() {
  RunOptions options;
  // Anything but "largest" (nothing stored, or a value of another version)
  // keeps the default.
  if (UserSettings().value(kRecordPaddingKey).toString() == kLargest) options.record_padding = RecordPadding::kLargest;
  return options;
}

void SaveRunOptions(const RunOptions& options) {
  UserSettings().setValue(kRecordPaddingKey,
                      options.record_padding == RecordPadding::kLargest ? kLargest : QStringLiteral("4"));
}

}  // namespace ct::gui
