#include "app/gui/qt_translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace ct::gui {

bool LoadQtTranslation(QCoreApplication& app) {
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  const QLocale system = QLocale::system();
  const QLocale chosen = system.language() == QLocale::Chinese ? system : QLocale(QLocale::Chinese, QLocale::China);
  auto* translator = new QTranslator(&app);
  if (!translator->load(chosen, QStringLiteral("qtbase"), QStringLiteral("_"), folder)) {
    delete translator;
    return false;
  }
  return QCoreApplication::installTranslator(translator);
}

}  // namespace ct::gui
