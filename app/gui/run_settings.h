// The run options the window remembers between starts (QSettings), and
// where it keeps all it remembers.
#pragma once

#include <QSettings>

#include "pipeline/run_options.h"

namespace ct::gui {

// The user's settings of this program, wherever the platform keeps them.
QSettings UserSettings();

RunOptions LoadRunOptions();
void SaveRunOptions(const RunOptions& options);

}  // namespace ct::gui
