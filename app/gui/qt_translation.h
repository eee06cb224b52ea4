// Qt's own dialogs and menus (buttons of message boxes, file dialogs, the
// editors' context menus) in the window's language.
#pragma once

class QCoreApplication;

namespace ct::gui {

// Installs Qt's translation for the system's locale when that is Chinese,
// else for Simplified Chinese, from Debian's Qt translations
// (qt6-translations-l10n); false when none is installed.
bool LoadQtTranslation(QCoreApplication& app);

}  // namespace ct::gui
