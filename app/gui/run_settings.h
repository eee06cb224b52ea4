// The run options the window remembers between starts (QSettings).
#pragma once

#include "pipeline/run_options.h"

namespace ct::gui {

RunOptions LoadRunOptions();
void SaveRunOptions(const RunOptions& options);

}  // namespace ct::gui
