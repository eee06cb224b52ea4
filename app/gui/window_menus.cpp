// The window's menus and what they do besides running: ClassTable.txt
// edited in the editor, Pascal files appended to it (also by dropping them
// on the window), the run's files shown by the desktop, other working
// folders, the editor's search and line jumps.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QSettings>
#include <QStatusBar>
#include <QTabWidget>
#include <QUrl>

#include <system_error>

#include "app/gui/code_editor.h"
#include "app/gui/find_bar.h"
#include "app/gui/gui_texts.h"
#include "app/gui/input_editing.h"
#include "app/gui/list_display.h"
#include "app/gui/main_window.h"
#include "app/gui/problems_view.h"
#include "app/gui/qt_text.h"
#include "app/gui/run_settings.h"
#include "app/gui/structure_view.h"
#include "app/gui/window_placement.h"
#include "pipeline/input_file.h"
#include "pipeline/texts.h"

namespace ct::gui {

namespace {

constexpr int kStatusMs = 5000;

QAction* AddAction(QWidget* window, QMenu* menu, std::string_view caption, const char* name,
                   const QList<QKeySequence>& keys = {}) {
  auto* action = new QAction(FromUtf8(caption), window);
  action->setObjectName(QString::fromLatin1(name));
  action->setShortcuts(keys);
  menu->addAction(action);
  // Also on the window, so that the keys work while no menu is open.
  window->addAction(action);
  return action;
}

}  // namespace

void TForm1::BuildMenus(QMenuBar* bar) {
  QMenu* file = bar->addMenu(FromUtf8(gui_texts::kFileMenu));
  connect(AddAction(this, file, gui_texts::kOpenInput, "actOpenInput", {QKeySequence::Open}), &QAction::triggered,
          this, [this] { OpenInput(); });
  save_input_ = AddAction(this, file, gui_texts::kSaveInput, "actSaveInput", {QKeySequence::Save});
  save_input_->setEnabled(false);
  connect(save_input_, &QAction::triggered, this, &TForm1::SaveInput);
  connect(AddAction(this, file, gui_texts::kAppendPascal, "actAppendPascal"), &QAction::triggered, this,
          &TForm1::ChooseAndAppendPascal);
  file->addSeparator();
  connect(AddAction(this, file, gui_texts::kShowScript, "actShowScript"), &QAction::triggered, this,
          [this] { dialogs_.ShowInSystem(QStringFromPath(folder_ / "ClassType.lua")); });
  connect(AddAction(this, file, gui_texts::kShowFolder, "actShowFolder"), &QAction::triggered, this,
          [this] { dialogs_.ShowInSystem(QStringFromPath(folder_)); });
  file->addSeparator();
  connect(AddAction(this, file, gui_texts::kOpenFolder, "actOpenFolder"), &QAction::triggered, this,
          &TForm1::ChooseFolder);
  recent_menu_ = file->addMenu(FromUtf8(gui_texts::kRecentFolders));
  recent_menu_->setObjectName(QStringLiteral("menuRecent"));
  file->addSeparator();
  connect(AddAction(this, file, gui_texts::kQuit, "actQuit", {QKeySequence(Qt::CTRL | Qt::Key_Q)}),
          &QAction::triggered, this, &QWidget::close);

  QMenu* edit = bar->addMenu(FromUtf8(gui_texts::kEditMenu));
  connect(AddAction(this, edit, gui_texts::kFind, "actFind", {QKeySequence::Find}), &QAction::triggered, this,
          &TForm1::FindInEditor);
  connect(AddAction(this, edit, gui_texts::kFindNext, "actFindNext", {QKeySequence(Qt::Key_F3)}), &QAction::triggered,
          this, [this] { find_bar_->FindNext(); });
  connect(AddAction(this, edit, gui_texts::kGoToLine, "actGoToLine", {QKeySequence(Qt::CTRL | Qt::Key_G)}),
          &QAction::triggered, this, &TForm1::GoToLine);

  QMenu* run = bar->addMenu(FromUtf8(gui_texts::kRunMenu));
  connect(AddAction(this, run, gui_texts::kStartOrContinue, "actStart",
                    {QKeySequence(Qt::Key_F5), QKeySequence(Qt::CTRL | Qt::Key_R)}),
          &QAction::triggered, this, &TForm1::btn1Click);
  connect(AddAction(this, run, gui_texts::kStopRun, "actStop", {QKeySequence(Qt::Key_Escape)}), &QAction::triggered,
          this, &TForm1::Escape);
}

// Esc closes the search while it has the focus, and otherwise stops a run.
void TForm1::Escape() {
  if (find_bar_->isVisible() && find_bar_->isAncestorOf(QApplication::focusWidget())) {
    find_bar_->Close();
    return;
  }
  Stop();
}

void TForm1::FindInEditor() {
  upper_tabs_->setCurrentIndex(0);
  find_bar_->Open();
}

void TForm1::GoToLine() {
  upper_tabs_->setCurrentIndex(0);
  if (std::optional<int> line = dialogs_.AskLine(this, Memo1->textCursor().blockNumber() + 1, Memo1->blockCount()))
    Memo1->GoToLine(*line);
}

void TForm1::SetEditorEditingInput(bool editing) {
  editing_input_ = editing;
  save_input_->setEnabled(editing);
  SetTitle();
}

void TForm1::OpenInput(int line) {
  if (started_ != 0) {
    status_->showMessage(FromUtf8(gui_texts::kBusyEditor), kStatusMs);
    return;
  }
  upper_tabs_->setCurrentIndex(0);
  if (!editing_input_ || !Memo1->document()->isModified()) {
    QString problem;
    std::optional<EditableText> input = ReadForEditing(InputPath(folder_), problem);
    if (!input) {
      dialogs_.Message(this, FromUtf8(texts::kCaptionConfirm), problem, BoxIcon::kError);
      return;
    }
    display_->Forget();
    InstallDocument(*Memo1, BuildTextDocument(input->text, editor_font_));
    SetEditorEditingInput(true);
    if (input->was_utf8) status_->showMessage(FromUtf8(gui_texts::kOpenedAsUtf8), kStatusMs);
  }
  Memo1->GoToLine(line > 0 ? line : 1);
  Memo1->setFocus();
  UpdateLineDisplay();
}

bool TForm1::ShowInputLine(int line) {
  if (started_ != 0) {
    status_->showMessage(FromUtf8(gui_texts::kBusyEditor), kStatusMs);
    return false;
  }
  OpenInput(line);
  return editing_input_;
}

bool TForm1::SaveInput() {
  if (!editing_input_) return false;
  QString problem;
  if (!SaveFromEditor(Memo1->toPlainText(), InputPath(folder_), problem)) {
    dialogs_.Message(this, FromUtf8(texts::kCaptionConfirm), problem, BoxIcon::kError);
    return false;
  }
  Memo1->document()->setModified(false);
  status_->showMessage(FromUtf8(gui_texts::kSaved).arg(FromUtf8(texts::kInputFileName)), kStatusMs);
  return true;
}

bool TForm1::SettleInputEdits(std::string_view question) {
  if (!editing_input_ || !Memo1->document()->isModified()) return true;
  switch (dialogs_.Ask(this, FromUtf8(texts::kCaptionConfirm), FromUtf8(question), true)) {
    case Answer::kYes:
      return SaveInput();
    case Answer::kNo:
      Memo1->document()->setModified(false);
      return true;
    case Answer::kCancel:
      break;
  }
  return false;
}

void TForm1::ChooseAndAppendPascal() {
  std::optional<QString> file =
      dialogs_.OpenFile(this, QStringFromPath(folder_) + QDir::separator(), FromUtf8(gui_texts::kPascalFilter));
  if (file) AppendPascal(*file);
}

// The file is appended on disk; an editor showing the input shows the
// longer file, after its own edits have been saved or dropped.
void TForm1::AppendPascal(const QString& file) {
  if (!SettleInputEdits(gui_texts::kSaveInputBeforeLeaving)) return;
  QString problem;
  if (!AppendPascalFile(PathFromQString(file), InputPath(folder_), problem)) {
    dialogs_.Message(this, FromUtf8(texts::kCaptionConfirm), problem, BoxIcon::kError);
    return;
  }
  status_->showMessage(FromUtf8(gui_texts::kAppended).arg(QDir::toNativeSeparators(file)), kStatusMs);
  if (editing_input_ && started_ == 0) {
    Memo1->document()->setModified(false);
    SetEditorEditingInput(false);
    OpenInput(Memo1->blockCount());
  }
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  for (const QUrl& url : urls)
    if (!url.isLocalFile()) return;
  if (!urls.isEmpty()) event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
  for (const QUrl& url : event->mimeData()->urls()) AppendPascal(url.toLocalFile());
  event->acceptProposedAction();
}

void TForm1::ChooseFolder() {
  if (std::optional<QString> folder = dialogs_.ChooseFolder(this, QStringFromPath(folder_)))
    OpenFolder(PathFromQString(*folder));
}

bool TForm1::OpenFolder(const std::filesystem::path& folder) {
  if (!Idle()) {
    status_->showMessage(FromUtf8(gui_texts::kBusyEditor), kStatusMs);
    return false;
  }
  std::error_code ec;
  std::filesystem::path absolute = std::filesystem::absolute(folder, ec);
  if (ec || !std::filesystem::is_directory(absolute, ec)) {
    dialogs_.Message(this, FromUtf8(texts::kCaptionConfirm),
                     FromUtf8(gui_texts::kBadFolder) + QDir::toNativeSeparators(QStringFromPath(folder)),
                     BoxIcon::kError);
    return false;
  }
  if (!SettleInputEdits(gui_texts::kSaveInputBeforeLeaving)) return false;
  folder_ = absolute.lexically_normal();
  SetEditorEditingInput(false);
  display_->Forget();
  problems_->clear();
  lower_tabs_->setTabText(1, FromUtf8(gui_texts::kProblemsTab));
  structures_->Clear();
  QSettings settings = UserSettings();
  settings.setValue(setting_keys::kRecentFolders,
                    WithRecentFolder(settings.value(setting_keys::kRecentFolders).toStringList(),
                                     QStringFromPath(folder_)));
  RefreshRecentFolders();
  FormCreate();
  return true;
}

void TForm1::RefreshRecentFolders() {
  recent_menu_->clear();
  const QStringList folders = UserSettings().value(setting_keys::kRecentFolders).toStringList();
  for (const QString& folder : folders) {
    QAction* action = recent_menu_->addAction(QDir::toNativeSeparators(folder));
    connect(action, &QAction::triggered, this, [this, folder] { OpenFolder(PathFromQString(folder)); });
  }
  if (folders.isEmpty()) recent_menu_->addAction(FromUtf8(gui_texts::kNoRecentFolders))->setEnabled(false);
}

}  // namespace ct::gui
