#include "app/gui/main_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>
#include <string>

#include "app/gui/box_kinds.h"
#include "app/gui/code_editor.h"
#include "app/gui/do_thread.h"
#include "app/gui/editor_font.h"
#include "app/gui/find_bar.h"
#include "app/gui/gui_texts.h"
#include "app/gui/input_editing.h"
#include "app/gui/keyword_actions.h"
#include "app/gui/list_display.h"
#include "app/gui/problems_view.h"
#include "app/gui/qt_text.h"
#include "app/gui/run_settings.h"
#include "app/gui/structure_view.h"
#include "app/gui/window_placement.h"
#include "pipeline/input_file.h"
#include "pipeline/texts.h"
#include "text/gbk.h"

namespace ct::gui {

namespace {

constexpr int kWindowWidth = 1217;
constexpr int kWindowHeight = 807;
constexpr int kEditorMinimumHeight = 300;
constexpr int kLogHeight = 181;
constexpr int kPanelWidth = 345;
constexpr int kStartButtonPixels = 16;
// The progress bar moves a tenth of a stage with each layout cycle, up to
// nine of them.
constexpr int kProgressPerStage = 10;
constexpr int kElapsedTickMs = 200;

template <typename Widget>
Widget* Named(Widget* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

// A selection the user made stays visible while they press the buttons.
void KeepSelectionVisible(QPlainTextEdit* editor) {
  QPalette palette = editor->palette();
  for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
    palette.setBrush(QPalette::Inactive, role, palette.brush(QPalette::Active, role));
  editor->setPalette(palette);
}

}  // namespace

TForm1::TForm1(std::filesystem::path folder, Dialogs& dialogs, RunFunction run)
    : folder_(std::move(folder)), dialogs_(dialogs), run_(std::move(run)), editor_font_(EditorFont()) {
  SetTitle();
  setAcceptDrops(true);
  BuildControls();
  BuildShortcuts();
  RestoreSettings();
  elapsed_timer_.setInterval(kElapsedTickMs);
  connect(&elapsed_timer_, &QTimer::timeout, this, &TForm1::UpdateElapsed);
  worker_ = std::make_unique<TDoThread>([this] { RunOnWorker(); });
}

TForm1::~TForm1() {
  // Closing first: a run waiting at a report ends as abandoned; the stop
  // ends one inside a stage.
  gate_.Close();
  stop_flag_.Request();
  worker_->Terminate();
}

RunOutcome TForm1::RunInFolder(FrontEnd& ui, const std::filesystem::path& folder, const RunOptions& options) {
  return RunConversion(ui, folder, options);
}

bool TForm1::Idle() const { return started_ == 0 && !worker_->Running(); }

void TForm1::SetTitle() {
  QString title =
      FromUtf8(gui_texts::kWindowTitle) + QStringLiteral(" - ") + QStringFromPath(folder_.lexically_normal());
  if (editing_input_) {
    title += QStringLiteral(" - ") + FromUtf8(texts::kInputFileName);
    if (Memo1->document()->isModified()) title += QLatin1Char('*');
  }
  setWindowTitle(title);
}

void TForm1::BuildControls() {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  auto* menus = Named(new QMenuBar(this), "menuBar");
  layout->setMenuBar(menus);
  layout->addWidget(BuildUpperArea(), 1);
  layout->addWidget(BuildLowerArea());
  status_ = Named(new QStatusBar(this), "statusBar");
  elapsed_ = Named(new QLabel(status_), "lblElapsed");
  status_->addPermanentWidget(elapsed_);
  layout->addWidget(status_);
  BuildMenus(menus);
}

QWidget* TForm1::BuildUpperArea() {
  upper_tabs_ = Named(new QTabWidget(this), "tabUpper");
  upper_tabs_->setDocumentMode(true);

  auto* editor_page = new QWidget(upper_tabs_);
  Memo1 = Named(new CodeEditor(QStringLiteral("Memo1"), editor_page), "Memo1");
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setFont(editor_font_);
  Memo1->setMinimumHeight(kEditorMinimumHeight);
  Memo1->setTabChangesFocus(true);
  Memo1->setAcceptDrops(false);  // a dropped file goes to the window: appended to the input
  KeepSelectionVisible(Memo1);
  Memo1->viewport()->installEventFilter(this);
  display_ = new ListDisplay(Memo1);
  connect(display_, &ListDisplay::Shown, this, &TForm1::UpdateLineDisplay);
  connect(Memo1, &QPlainTextEdit::modificationChanged, this, [this](bool) { SetTitle(); });
  find_bar_ = new FindBar(*Memo1, editor_page);
  auto* editor_layout = new QVBoxLayout(editor_page);
  editor_layout->setContentsMargins(0, 0, 0, 0);
  editor_layout->setSpacing(0);
  editor_layout->addWidget(Memo1, 1);
  editor_layout->addWidget(find_bar_);
  upper_tabs_->addTab(editor_page, FromUtf8(gui_texts::kEditorTab));

  structures_ = new StructureView(upper_tabs_);
  upper_tabs_->addTab(structures_, FromUtf8(gui_texts::kStructureTab));
  return upper_tabs_;
}

QWidget* TForm1::BuildLowerArea() {
  auto* lower = new QWidget(this);
  lower->setFixedHeight(kLogHeight);
  lower_tabs_ = Named(new QTabWidget(lower), "tabLower");
  lower_tabs_->setDocumentMode(true);
  lower_tabs_->setTabPosition(QTabWidget::South);
  Memo2 = Named(new QPlainTextEdit(lower_tabs_), "Memo2");
  Memo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo2->setFrameShape(QFrame::NoFrame);
  Memo2->setReadOnly(true);
  Memo2->setTabChangesFocus(true);
  problems_ = new ProblemsView(lower_tabs_);
  connect(problems_, &ProblemsView::LineChosen, this, [this](int line) { ShowInputLine(line); });
  lower_tabs_->addTab(Memo2, FromUtf8(gui_texts::kLogTab));
  lower_tabs_->addTab(problems_, FromUtf8(gui_texts::kProblemsTab));

  auto* lower_layout = new QHBoxLayout(lower);
  lower_layout->setContentsMargins(0, 0, 0, 0);
  lower_layout->setSpacing(0);
  lower_layout->addWidget(lower_tabs_, 1);
  lower_layout->addWidget(BuildRightPanel());
  return lower;
}

QWidget* TForm1::BuildRightPanel() {
  auto* panel = Named(new QWidget(this), "pnlRight");
  panel->setFixedWidth(kPanelWidth);

  lbl1 = Named(new QLabel(FromUtf8(gui_texts::kCurrentLine), panel), "lbl1");
  lbl2 = Named(new QLabel(QStringLiteral("0"), panel), "lbl2");
  pb1 = Named(new QProgressBar(panel), "pb1");
  pb1->setRange(0, static_cast<int>(texts::kStageMessages.size()) * kProgressPerStage);
  pb1->setValue(0);
  pb1->setTextVisible(false);

  grp1 = Named(new QGroupBox(FromUtf8(gui_texts::kGenerateGroup), panel), "grp1");
  chk1 = Named(new QCheckBox(FromUtf8(gui_texts::kAutoRun), grp1), "chk1");
  chk1->setChecked(true);
  connect(chk1, &QCheckBox::toggled, this, [this](bool checked) { automatic_ = checked; });
  btnStop = Named(new QPushButton(FromUtf8(gui_texts::kStop), grp1), "btnStop");
  btnStop->setEnabled(false);
  connect(btnStop, &QPushButton::clicked, this, &TForm1::Stop);
  btn1 = Named(new QPushButton(FromUtf8(gui_texts::kStart), grp1), "btn1");
  QFont bold = btn1->font();
  bold.setBold(true);
  bold.setPixelSize(kStartButtonPixels);
  btn1->setFont(bold);
  btn1->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  connect(btn1, &QPushButton::clicked, this, &TForm1::btn1Click);
  chkPadding = Named(new QCheckBox(FromUtf8(gui_texts::kPadToLargest), grp1), "chkPadding");
  chkPadding->setToolTip(FromUtf8(gui_texts::kPadToLargestTip));
  chkPadding->setChecked(LoadRunOptions().record_padding == RecordPadding::kLargest);
  connect(chkPadding, &QCheckBox::toggled, this, &TForm1::chkPaddingClick);
  auto* check_row = new QHBoxLayout;
  check_row->addWidget(chk1, 1);
  check_row->addWidget(btnStop);
  auto* grp1_layout = new QVBoxLayout(grp1);
  grp1_layout->addLayout(check_row);
  grp1_layout->addWidget(chkPadding);
  grp1_layout->addWidget(btn1, 1);

  grp2 = Named(new QGroupBox(FromUtf8(gui_texts::kKeywordGroup), panel), "grp2");
  rb1 = Named(new QRadioButton(FromUtf8(gui_texts::kFromContent), grp2), "rb1");
  rb1->setChecked(true);
  rb2 = Named(new QRadioButton(FromUtf8(gui_texts::kFromFile), grp2), "rb2");
  btn2 = Named(new QPushButton(FromUtf8(gui_texts::kConvert), grp2), "btn2");
  btn3 = Named(new QPushButton(FromUtf8(gui_texts::kSave), grp2), "btn3");
  connect(btn2, &QPushButton::clicked, this, &TForm1::btn2Click);
  connect(btn3, &QPushButton::clicked, this, &TForm1::btn3Click);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(btn2);
  buttons->addWidget(btn3);
  auto* grp2_layout = new QVBoxLayout(grp2);
  grp2_layout->addWidget(rb1);
  grp2_layout->addWidget(rb2);
  grp2_layout->addLayout(buttons);

  // The result text in lbl1 and the line number stay apart.
  auto* line_row = new QHBoxLayout;
  line_row->setSpacing(12);
  line_row->addWidget(lbl1);
  line_row->addWidget(lbl2, 1);
  auto* groups = new QHBoxLayout;
  groups->addWidget(grp1, 2);
  groups->addWidget(grp2, 3);
  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(6, 4, 6, 4);
  layout->setSpacing(4);
  layout->addLayout(line_row);
  layout->addWidget(pb1);
  layout->addLayout(groups, 1);
  return panel;
}

void TForm1::BuildShortcuts() {
  // Space continues a paused run; it is live only during the pause, so it
  // never takes a space from the editor or a button.
  continue_key_ = new QShortcut(QKeySequence(Qt::Key_Space), this);
  continue_key_->setEnabled(false);
  connect(continue_key_, &QShortcut::activated, this, &TForm1::btn1Click);
}

void TForm1::RestoreSettings() {
  QSettings settings = UserSettings();
  chk1->setChecked(settings.value(setting_keys::kAutomatic, true).toBool());
  (settings.value(setting_keys::kKeywordsFromFile, false).toBool() ? rb2 : rb1)->setChecked(true);
  settings.setValue(setting_keys::kRecentFolders,
                    WithRecentFolder(settings.value(setting_keys::kRecentFolders).toStringList(),
                                     QStringFromPath(folder_.lexically_normal())));
  RefreshRecentFolders();
  QByteArray geometry = settings.value(setting_keys::kGeometry).toByteArray();
  if (geometry.isEmpty() || !restoreGeometry(geometry)) resize(kWindowWidth, kWindowHeight);
  QScreen* screen = QGuiApplication::screenAt(geometry.isEmpty() ? QPoint() : this->geometry().center());
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen != nullptr) FitInto(screen->availableGeometry());
}

void TForm1::SaveSettings() const {
  QSettings settings = UserSettings();
  settings.setValue(setting_keys::kGeometry, saveGeometry());
  settings.setValue(setting_keys::kAutomatic, chk1->isChecked());
  settings.setValue(setting_keys::kKeywordsFromFile, rb2->isChecked());
}

void TForm1::FitInto(const QRect& available) {
  // The frame is known once the window is shown; until then a title bar's
  // height is a fair guess.
  QMargins frame(0, style()->pixelMetric(QStyle::PM_TitleBarHeight), 0, 0);
  if (isVisible())
    frame = QMargins(geometry().left() - frameGeometry().left(), geometry().top() - frameGeometry().top(),
                     frameGeometry().right() - geometry().right(), frameGeometry().bottom() - geometry().bottom());
  const QRect inner = available.marginsRemoved(frame);
  // Where even the minimum does not fit, the editor gives up height first,
  // so that the bottom panel with Start stays on the screen.
  const int others = minimumSizeHint().height() - Memo1->minimumHeight();
  Memo1->setMinimumHeight(std::clamp(inner.height() - others, 60, kEditorMinimumHeight));
  const bool positioned = placed_ || testAttribute(Qt::WA_Moved);
  QRect fitted = FitIntoScreen(QRect(geometry().topLeft(), size()), positioned, inner);
  setGeometry(fitted);
  placed_ = true;
}

// Once shown, the real frame is known: the window is fitted once more.
void TForm1::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (shown_) return;
  shown_ = true;
  if (QScreen* shown_on = screen()) FitInto(shown_on->availableGeometry());
}

void TForm1::FormCreate() {
  std::string error;
  switch (WritePreludeIfMissing(folder_, error)) {
    case PreludeWrite::kExisted:
      return;
    case PreludeWrite::kWritten:
      dialogs_.Message(this, FromUtf8(gui_texts::kWindowTitle), FromGbk(PreludeNotice()), BoxIcon::kNone);
      return;
    case PreludeWrite::kFailed:
      dialogs_.Message(this, FromUtf8(texts::kCaptionConfirm),
                       FromUtf8(texts::kCannotWriteFile) + FromUtf8(texts::kInputFileName) + QStringLiteral(" (") +
                           FromUtf8(error) + QStringLiteral(")"),
                       BoxIcon::kError);
      return;
  }
}

void TForm1::btn1Click() {
  gate_.PressContinue();
  if (started_ != 0) return;
  StartRun();
}

// Before the worker reads the input: edits in the editor are saved or
// dropped, and an input the run would misread is named instead of run.
void TForm1::StartRun() {
  if (!SettleInputEdits(gui_texts::kSaveInputFirst)) return;
  if (IsUtf8WithoutMark(InputPath(folder_))) {
    dialogs_.Message(this, FromUtf8(texts::kCaptionConfirm), FromUtf8(gui_texts::kUtf8Input), BoxIcon::kError);
    return;
  }
  run_options_ = LoadRunOptions();
  SetEditorEditingInput(false);
  stop_flag_.Reset();
  quiet_kinds_.clear();
  problems_->clear();
  lower_tabs_->setTabText(1, FromUtf8(gui_texts::kProblemsTab));
  structures_->Clear();
  upper_tabs_->setCurrentIndex(0);
  pb1->setValue(0);
  Memo1->setReadOnly(true);
  btnStop->setEnabled(true);
  run_clock_.start();
  elapsed_timer_.start();
  UpdateElapsed();
  status_->clearMessage();
  worker_->Resume();
  started_ = 1;
}

void TForm1::Stop() {
  if (started_ == 0) return;
  stop_flag_.Request();
  // A pause ends too; the report that waited then stops the run.
  gate_.PressContinue();
}

void TForm1::chkPaddingClick(bool largest) {
  RunOptions options = LoadRunOptions();
  options.record_padding = largest ? RecordPadding::kLargest : RecordPadding::kFour;
  SaveRunOptions(options);
}

void TForm1::Memo1Click() {
  lbl2->setText(FromUtf8(gui_texts::kLineNumberHead) + QString::number(Memo1->textCursor().blockNumber()) +
                FromUtf8(gui_texts::kLineNumberTail));
}

// A new text in the editor moves the line display to where the caret now is.
void TForm1::UpdateLineDisplay() { Memo1Click(); }

// The editor shows the latest list before the keyword tool reads it, as it
// would had every report refilled it.
void TForm1::btn2Click() {
  display_->Flush();
  ConvertKeywords(*Memo1, dialogs_, this, rb2->isChecked(), DefaultKeywordFile());
  SetEditorEditingInput(false);
}

void TForm1::btn3Click() {
  display_->Flush();
  SaveEditorText(*Memo1, dialogs_, this, DefaultKeywordFile());
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  // The press has already moved the caret; the release completes the click.
  if (watched == Memo1->viewport() && event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
    Memo1Click();
  return QWidget::eventFilter(watched, event);
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (started_ != 0 &&
      dialogs_.Ask(this, FromUtf8(texts::kCaptionConfirm), FromUtf8(gui_texts::kStopAndClose), false) != Answer::kYes) {
    event->ignore();
    return;
  }
  if (!SettleInputEdits(gui_texts::kSaveInputBeforeLeaving)) {
    event->ignore();
    return;
  }
  // A run waiting at a report ends there; one inside a stage stops.
  gate_.Close();
  stop_flag_.Request();
  SaveSettings();
  event->accept();
}

void TForm1::RunOnWorker() {
  ScopedStopFlag stop(&stop_flag_);
  RunOutcome outcome = RunOutcome::kFailed;
  try {
    outcome = run_(front_end_, folder_, run_options_);
  } catch (const std::exception& e) {
    // The run cannot go on, but the window must return to Idle rather than
    // take the process down.
    std::string text = Gbk(gui_texts::kRunAbortedHead) + e.what();
    front_end_.Log(Gbk(texts::kMarker) + text);
    front_end_.Message(Gbk(texts::kCaptionConfirm), text, MessageIcon::kError);
    front_end_.RunEnded();
  }
  // The structures of a successful run are read here, off the interface
  // thread; a window closing meanwhile stops the reading.
  std::optional<LayoutReport> report;
  if (outcome == RunOutcome::kSucceeded) {
    try {
      LayoutReport read;
      std::string error;
      if (ReadLayoutReport(folder_, read, error)) report = std::move(read);
    } catch (const RunStopped&) {
    }
  }
  gate_.RunOnInterface(this, [&] { RunFinished(outcome, std::move(report)); });
}

void TForm1::ClearRunLog() { Memo2->clear(); }

void TForm1::AppendRunLog(std::string_view line) { Memo2->appendPlainText(FromGbk(line)); }

void TForm1::ShowInput(const LineList& list) { display_->Offer(list.Lines()); }

void TForm1::ShowStage(const LineList& list, std::string_view message, bool pause, EditorDocument document) {
  AppendRunLog(message);
  btn1->setText(FromUtf8(gui_texts::kContinue));
  gate_.ClearContinue();
  if (pause) {
    display_->ShowDocument(std::move(document));
    continue_key_->setEnabled(true);
  } else {
    display_->Offer(list.Lines());
  }
}

void TForm1::ShowStageRunning() {
  continue_key_->setEnabled(false);
  btn1->setText(FromUtf8(gui_texts::kWaiting));
  btn1->repaint();
}

void TForm1::ShowResult(std::string_view text) { lbl1->setText(FromGbk(text)); }

// The first box of each kind in a run is shown; the user may then ask to see
// no more of that kind, which still reach the log and the problems list.
void TForm1::ShowRunMessage(std::string_view caption, std::string_view text, BoxIcon icon) {
  display_->Flush();
  if (icon != BoxIcon::kError) {
    dialogs_.Message(this, FromGbk(caption), FromGbk(text), icon);
    return;
  }
  std::string kind = BoxKind(caption, text);
  if (quiet_kinds_.contains(kind)) return;
  if (dialogs_.RunMessage(this, FromGbk(caption), FromGbk(text), icon, FromUtf8(gui_texts::kNoMoreOfThese)))
    quiet_kinds_.insert(std::move(kind));
}

void TForm1::ShowProblem(ProblemKind kind, std::string_view text, LineOrigin line) {
  problems_->Add(kind, text, line);
  lower_tabs_->setTabText(1, FromUtf8(gui_texts::kProblemsTabCount).arg(problems_->topLevelItemCount()));
}

void TForm1::ShowProgress(const RunProgress& progress) {
  if (progress.stage == 0) return;
  pb1->setValue(static_cast<int>(progress.stage - 1) * kProgressPerStage +
                std::min(static_cast<int>(progress.cycle), kProgressPerStage - 1));
  QString text = FromUtf8(gui_texts::kStageProgress).arg(progress.stage).arg(progress.stages);
  if (progress.cycle != 0) text += FromUtf8(gui_texts::kCycleProgress).arg(progress.cycle);
  status_->showMessage(text);
}

void TForm1::EndRun() {
  display_->Flush();
  started_ = 0;
  btn1->setText(FromUtf8(gui_texts::kStart));
  btnStop->setEnabled(false);
  continue_key_->setEnabled(false);
  Memo1->setReadOnly(false);
  elapsed_timer_.stop();
  UpdateElapsed();
}

void TForm1::RunFinished(RunOutcome outcome, std::optional<LayoutReport> report) {
  if (outcome == RunOutcome::kSucceeded || outcome == RunOutcome::kFailed) pb1->setValue(pb1->maximum());
  if (report) structures_->SetReport(std::move(*report));
}

void TForm1::UpdateElapsed() {
  if (!run_clock_.isValid()) return;
  elapsed_->setText(FromUtf8(gui_texts::kElapsed).arg(static_cast<double>(run_clock_.elapsed()) / 1000.0, 0, 'f', 1));
}

}  // namespace ct::gui
