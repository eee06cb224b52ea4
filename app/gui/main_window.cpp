#include "app/gui/main_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <exception>
#include <string>

#include "app/gui/do_thread.h"
#include "app/gui/editor_font.h"
#include "app/gui/gui_texts.h"
#include "app/gui/keyword_actions.h"
#include "app/gui/list_display.h"
#include "app/gui/qt_text.h"
#include "app/gui/run_settings.h"
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
    : folder_(std::move(folder)), dialogs_(dialogs), run_(std::move(run)) {
  setWindowTitle(FromUtf8(gui_texts::kWindowTitle) + QStringLiteral(" - ") +
                 QStringFromPath(folder_.lexically_normal()));
  BuildControls();
  resize(kWindowWidth, kWindowHeight);
  worker_ = std::make_unique<TDoThread>([this] { RunOnWorker(); });
}

TForm1::~TForm1() {
  gate_.Close();
  worker_->Terminate();
}

RunOutcome TForm1::RunInFolder(FrontEnd& ui, const std::filesystem::path& folder, const RunOptions& options) {
  return RunConversion(ui, folder, options);
}

void TForm1::BuildControls() {
  Memo1 = Named(new QPlainTextEdit(QStringLiteral("Memo1"), this), "Memo1");
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setFont(EditorFont());
  Memo1->setMinimumHeight(kEditorMinimumHeight);
  KeepSelectionVisible(Memo1);
  Memo1->viewport()->installEventFilter(this);
  display_ = new ListDisplay(Memo1);

  Memo2 = Named(new QPlainTextEdit(this), "Memo2");
  Memo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo2->setFrameShape(QFrame::NoFrame);

  auto* lower = new QWidget(this);
  lower->setFixedHeight(kLogHeight);
  auto* lower_layout = new QHBoxLayout(lower);
  lower_layout->setContentsMargins(0, 0, 0, 0);
  lower_layout->setSpacing(0);
  lower_layout->addWidget(Memo2, 1);
  lower_layout->addWidget(BuildRightPanel());

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(Memo1, 1);
  layout->addWidget(lower);
}

QWidget* TForm1::BuildRightPanel() {
  auto* panel = Named(new QWidget(this), "pnlRight");
  panel->setFixedWidth(kPanelWidth);

  lbl1 = Named(new QLabel(FromUtf8(gui_texts::kCurrentLine), panel), "lbl1");
  lbl2 = Named(new QLabel(QStringLiteral("0"), panel), "lbl2");
  pb1 = Named(new QProgressBar(panel), "pb1");
  pb1->setRange(0, 100);
  pb1->setValue(0);
  pb1->setTextVisible(false);

  grp1 = Named(new QGroupBox(FromUtf8(gui_texts::kGenerateGroup), panel), "grp1");
  chk1 = Named(new QCheckBox(FromUtf8(gui_texts::kAutoRun), grp1), "chk1");
  chk1->setChecked(true);
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
  auto* grp1_layout = new QVBoxLayout(grp1);
  grp1_layout->addWidget(chk1);
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

  auto* line_row = new QHBoxLayout;
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
  run_options_ = LoadRunOptions();
  worker_->Resume();
  started_ = 1;
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

// The editor shows the latest list before the keyword tool reads it, as it
// would had every report refilled it.
void TForm1::btn2Click() {
  display_->Flush();
  ConvertKeywords(*Memo1, dialogs_, this, rb2->isChecked(), DefaultKeywordFile());
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
  // A run still going ends at its next stage report; the destructor joins it.
  gate_.Close();
  event->accept();
}

void TForm1::RunOnWorker() {
  try {
    run_(front_end_, folder_, run_options_);
  } catch (const std::exception& e) {
    // The run cannot go on, but the window must return to Idle rather than
    // take the process down.
    std::string text = Gbk(gui_texts::kRunAbortedHead) + e.what();
    front_end_.Log(Gbk(texts::kMarker) + text);
    front_end_.Message(Gbk(texts::kCaptionConfirm), text, MessageIcon::kError);
    front_end_.RunEnded();
  }
}

void TForm1::ClearRunLog() { Memo2->clear(); }

void TForm1::AppendRunLog(std::string_view line) { Memo2->appendPlainText(FromGbk(line)); }

void TForm1::ShowInput(const LineList& list) { display_->Offer(list.Lines()); }

bool TForm1::ShowStage(const LineList& list, std::string_view message) {
  AppendRunLog(message);
  btn1->setText(FromUtf8(gui_texts::kContinue));
  gate_.ClearContinue();
  bool pause = !chk1->isChecked();
  if (pause)
    display_->ShowNow(list.Lines());
  else
    display_->Offer(list.Lines());
  return pause;
}

void TForm1::ShowStageRunning() {
  btn1->setText(FromUtf8(gui_texts::kWaiting));
  btn1->repaint();
}

void TForm1::ShowResult(std::string_view text) { lbl1->setText(FromGbk(text)); }

void TForm1::ShowRunMessage(std::string_view caption, std::string_view text, BoxIcon icon) {
  display_->Flush();
  dialogs_.Message(this, FromGbk(caption), FromGbk(text), icon);
}

void TForm1::EndRun() {
  display_->Flush();
  started_ = 0;
  btn1->setText(FromUtf8(gui_texts::kStart));
}

}  // namespace ct::gui
