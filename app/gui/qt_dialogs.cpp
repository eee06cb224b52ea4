#include <QCheckBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QUrl>

#include "app/gui/dialogs.h"
#include "app/gui/gui_texts.h"
#include "app/gui/qt_text.h"

namespace ct::gui {

namespace {

QMessageBox::Icon BoxIconOf(BoxIcon icon) {
  switch (icon) {
    case BoxIcon::kInformation:
      return QMessageBox::Information;
    case BoxIcon::kError:
      return QMessageBox::Critical;
    case BoxIcon::kNone:
      break;
  }
  return QMessageBox::NoIcon;
}

// The window's file dialogs, dlgOpen1 and dlgSave1 among them: opened in the
// preset file's folder with that file selected.
std::optional<QString> ChooseFile(QWidget* parent, const char* name, QFileDialog::AcceptMode mode,
                                  const QString& preset, const QString& filter) {
  QFileDialog dialog(parent);
  dialog.setObjectName(QString::fromLatin1(name));
  dialog.setAcceptMode(mode);
  dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  if (!filter.isEmpty()) dialog.setNameFilter(filter);
  QFileInfo file(preset);
  dialog.setDirectory(file.absolutePath());
  dialog.selectFile(file.fileName());
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front();
}

}  // namespace

void QtDialogs::Message(QWidget* parent, const QString& caption, const QString& text, BoxIcon icon) {
  QMessageBox box(BoxIconOf(icon), caption, text, QMessageBox::Ok, parent);
  box.exec();
}

bool QtDialogs::RunMessage(QWidget* parent, const QString& caption, const QString& text, BoxIcon icon,
                           const QString& no_more) {
  QMessageBox box(BoxIconOf(icon), caption, text, QMessageBox::Ok, parent);
  auto* check = new QCheckBox(no_more, &box);
  check->setChecked(true);
  box.setCheckBox(check);
  box.exec();
  return check->isChecked();
}

Answer QtDialogs::Ask(QWidget* parent, const QString& caption, const QString& text, bool cancel) {
  QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
  if (cancel) buttons |= QMessageBox::Cancel;
  QMessageBox box(QMessageBox::Question, caption, text, buttons, parent);
  switch (box.exec()) {
    case QMessageBox::Yes:
      return Answer::kYes;
    case QMessageBox::No:
      return Answer::kNo;
    default:
      return cancel ? Answer::kCancel : Answer::kNo;
  }
}

std::optional<QString> QtDialogs::OpenFile(QWidget* parent, const QString& preset, const QString& filter) {
  return ChooseFile(parent, "dlgOpen1", QFileDialog::AcceptOpen, preset, filter);
}

std::optional<QString> QtDialogs::SaveFile(QWidget* parent, const QString& preset) {
  return ChooseFile(parent, "dlgSave1", QFileDialog::AcceptSave, preset, {});
}

std::optional<QString> QtDialogs::ChooseFolder(QWidget* parent, const QString& preset) {
  QString folder = QFileDialog::getExistingDirectory(parent, FromUtf8(gui_texts::kChooseFolderTitle), preset);
  if (folder.isEmpty()) return std::nullopt;
  return folder;
}

std::optional<int> QtDialogs::AskLine(QWidget* parent, int current, int count) {
  bool ok = false;
  int line = QInputDialog::getInt(parent, FromUtf8(gui_texts::kGoToLineTitle),
                                  FromUtf8(gui_texts::kGoToLinePrompt).arg(count), current, 1, count, 1, &ok);
  if (!ok) return std::nullopt;
  return line;
}

void QtDialogs::ShowInSystem(const QString& path) { QDesktopServices::openUrl(QUrl::fromLocalFile(path)); }

}  // namespace ct::gui
