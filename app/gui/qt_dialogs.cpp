#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include "app/gui/dialogs.h"

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

// The window's two file dialogs, dlgOpen1 and dlgSave1: opened in the preset
// file's folder with that file selected.
std::optional<QString> ChooseFile(QWidget* parent, const char* name, QFileDialog::AcceptMode mode,
                                  const QString& preset) {
  QFileDialog dialog(parent);
  dialog.setObjectName(QString::fromLatin1(name));
  dialog.setAcceptMode(mode);
  dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
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

std::optional<QString> QtDialogs::OpenFile(QWidget* parent, const QString& preset) {
  return ChooseFile(parent, "dlgOpen1", QFileDialog::AcceptOpen, preset);
}

std::optional<QString> QtDialogs::SaveFile(QWidget* parent, const QString& preset) {
  return ChooseFile(parent, "dlgSave1", QFileDialog::AcceptSave, preset);
}

}  // namespace ct::gui
