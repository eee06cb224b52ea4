// TForm1: the main window. It owns the worker that runs conversions, shows
// every stage of a run, steps through them in manual mode, and hosts the
// keyword tool.
#pragma once

#include <QWidget>

#include <filesystem>
#include <functional>
#include <memory>
#include <string_view>

#include "app/gui/dialogs.h"
#include "app/gui/run_gate.h"
#include "app/gui/window_front_end.h"
#include "pipeline/driver.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace ct::gui {

class ListDisplay;
class TDoThread;

class TForm1 : public QWidget {
  Q_OBJECT

 public:
  using RunFunction = std::function<RunOutcome(FrontEnd&, const std::filesystem::path&, const RunOptions&)>;

  // `run` is the conversion the worker performs for every Start.
  TForm1(std::filesystem::path folder, Dialogs& dialogs, RunFunction run = RunInFolder);
  // FormDestroy: ends the run at its next report and joins the worker.
  ~TForm1() override;

  // Writes the prelude as ClassTable.txt when the folder has none and tells
  // the user; an existing file is never touched. Call before showing the
  // window, which opens once the notice is dismissed.
  void FormCreate();

  static RunOutcome RunInFolder(FrontEnd& ui, const std::filesystem::path& folder, const RunOptions& options);

  bool RunActive() const { return started_ != 0; }
  bool PausedForContinue() const { return gate_.Waiting(); }

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  friend class WindowFrontEnd;

  void BuildControls();
  QWidget* BuildRightPanel();

  void btn1Click();
  void chkPaddingClick(bool largest);
  void Memo1Click();
  void btn2Click();
  void btn3Click();
  void RunOnWorker();

  // Carried out on the interface thread on the worker's behalf.
  void ClearRunLog();
  void AppendRunLog(std::string_view line);
  void ShowInput(const LineList& list);
  bool ShowStage(const LineList& list, std::string_view message);  // true: pause
  void ShowStageRunning();
  void ShowResult(std::string_view text);
  void ShowRunMessage(std::string_view caption, std::string_view text, BoxIcon icon);
  void EndRun();

  std::filesystem::path folder_;
  Dialogs& dialogs_;
  RunFunction run_;
  RunGate gate_;
  WindowFrontEnd front_end_{*this, gate_};
  // The started mark: 1 from a Start until the run has ended.
  int started_ = 0;
  // Taken from the settings at every Start, on the interface thread; the
  // worker reads it only while the run it was taken for goes on.
  RunOptions run_options_;

  QPlainTextEdit* Memo1 = nullptr;
  QPlainTextEdit* Memo2 = nullptr;
  QLabel* lbl1 = nullptr;
  QLabel* lbl2 = nullptr;
  QProgressBar* pb1 = nullptr;
  QGroupBox* grp1 = nullptr;
  QCheckBox* chk1 = nullptr;
  QCheckBox* chkPadding = nullptr;
  QPushButton* btn1 = nullptr;
  QGroupBox* grp2 = nullptr;
  QRadioButton* rb1 = nullptr;
  QRadioButton* rb2 = nullptr;
  QPushButton* btn2 = nullptr;
  QPushButton* btn3 = nullptr;
  ListDisplay* display_ = nullptr;

  // Last member: the worker starts after everything it uses exists.
  std::unique_ptr<TDoThread> worker_;
};

}  // namespace ct::gui
