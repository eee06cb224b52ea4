// TForm1: the main window. It owns the worker that runs conversions, shows
// every stage of a run, steps through them in manual mode, stops a run on
// request, lists the run's problems and the structures it laid out, lets the
// user edit ClassTable.txt where it is converted, and hosts the keyword tool.
#pragma once

#include <QElapsedTimer>
#include <QFont>
#include <QTimer>
#include <QWidget>

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <string_view>

#include "app/gui/dialogs.h"
#include "app/gui/editor_document.h"
#include "app/gui/run_gate.h"
#include "app/gui/window_front_end.h"
#include "pipeline/driver.h"
#include "pipeline/layout_report/layout_report.h"
#include "pipeline/stop_request.h"

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QShortcut;
class QStatusBar;
class QTabWidget;

namespace ct::gui {

class CodeEditor;
class FindBar;
class ListDisplay;
class ProblemsView;
class StructureView;
class TDoThread;

class TForm1 : public QWidget {
  Q_OBJECT

 public:
  using RunFunction = std::function<RunOutcome(FrontEnd&, const std::filesystem::path&, const RunOptions&)>;

  // `run` is the conversion the worker performs for every Start.
  TForm1(std::filesystem::path folder, Dialogs& dialogs, RunFunction run = RunInFolder);
  // FormDestroy: stops the run and joins the worker.
  ~TForm1() override;

  // Writes the prelude as ClassTable.txt when the folder has none and tells
  // the user; an existing file is never touched. Call before showing the
  // window, which opens once the notice is dismissed.
  void FormCreate();

  static RunOutcome RunInFolder(FrontEnd& ui, const std::filesystem::path& folder, const RunOptions& options);

  bool RunActive() const { return started_ != 0; }
  bool PausedForContinue() const { return gate_.Waiting(); }
  // No run, and the worker is not finishing one.
  bool Idle() const;
  const std::filesystem::path& Folder() const { return folder_; }

  // Places the window in a screen's free area: the size it opens with (or
  // had when last closed) where that fits, otherwise clamped, with the
  // bottom panel always inside.
  void FitInto(const QRect& available);
  // Ends the run within a fraction of a second, leaving the files saved so far.
  void Stop();
  // Works in another folder from now on; false when a run is under way or
  // the user keeps unsaved edits.
  bool OpenFolder(const std::filesystem::path& folder);
  // ClassTable.txt in the editor at `line` (from 1); false while a run owns
  // the editor.
  bool ShowInputLine(int line);

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  friend class WindowFrontEnd;

  void BuildControls();
  QWidget* BuildUpperArea();
  QWidget* BuildLowerArea();
  QWidget* BuildRightPanel();
  void BuildMenus(QMenuBar* bar);
  void BuildShortcuts();
  void RestoreSettings();
  void SaveSettings() const;

  void btn1Click();
  void chkPaddingClick(bool largest);
  void Memo1Click();
  void btn2Click();
  void btn3Click();
  void RunOnWorker();
  void StartRun();

  // Carried out on the interface thread on the worker's behalf.
  void ClearRunLog();
  void AppendRunLog(std::string_view line);
  void ShowInput(const LineList& list);
  void ShowStage(const LineList& list, std::string_view message, bool pause, EditorDocument document);
  void ShowStageRunning();
  void ShowResult(std::string_view text);
  void ShowRunMessage(std::string_view caption, std::string_view text, BoxIcon icon);
  void ShowProblem(ProblemKind kind, std::string_view text, LineOrigin line);
  void ShowProgress(const RunProgress& progress);
  void EndRun();
  void RunFinished(RunOutcome outcome, std::optional<LayoutReport> report);
  bool Automatic() const { return automatic_.load(); }
  const QFont& EditorFontForLists() const { return editor_font_; }

  // The input file in the editor.
  void OpenInput(int line = 0);
  bool SaveInput();
  // Unsaved edits of the input: saved, dropped or kept (false: stay).
  bool SettleInputEdits(std::string_view question);
  void ChooseAndAppendPascal();
  void AppendPascal(const QString& file);
  void ChooseFolder();
  void RefreshRecentFolders();
  void SetEditorEditingInput(bool editing);
  void SetTitle();
  void UpdateLineDisplay();
  void UpdateElapsed();
  void GoToLine();
  void FindInEditor();
  void Escape();

  std::filesystem::path folder_;
  Dialogs& dialogs_;
  RunFunction run_;
  RunGate gate_;
  StopFlag stop_flag_;
  WindowFrontEnd front_end_{*this, gate_};
  // The started mark: 1 from a Start until the run has ended.
  int started_ = 0;
  // chk1 as the worker reads it at every stage report.
  std::atomic<bool> automatic_{true};
  // Taken from the settings at every Start, on the interface thread; the
  // worker reads it only while the run it was taken for goes on.
  RunOptions run_options_;
  // The box kinds the user asked not to see again in this run.
  std::set<std::string> quiet_kinds_;
  // The editor holds ClassTable.txt for editing (not a run's list).
  bool editing_input_ = false;
  bool placed_ = false;  // FitInto has given the window its place
  bool shown_ = false;
  QElapsedTimer run_clock_;
  QTimer elapsed_timer_;
  const QFont editor_font_;

  CodeEditor* Memo1 = nullptr;
  QPlainTextEdit* Memo2 = nullptr;
  QLabel* lbl1 = nullptr;
  QLabel* lbl2 = nullptr;
  QProgressBar* pb1 = nullptr;
  QGroupBox* grp1 = nullptr;
  QCheckBox* chk1 = nullptr;
  QCheckBox* chkPadding = nullptr;
  QPushButton* btn1 = nullptr;
  QPushButton* btnStop = nullptr;
  QGroupBox* grp2 = nullptr;
  QRadioButton* rb1 = nullptr;
  QRadioButton* rb2 = nullptr;
  QPushButton* btn2 = nullptr;
  QPushButton* btn3 = nullptr;
  QTabWidget* upper_tabs_ = nullptr;
  QTabWidget* lower_tabs_ = nullptr;
  FindBar* find_bar_ = nullptr;
  ProblemsView* problems_ = nullptr;
  StructureView* structures_ = nullptr;
  QStatusBar* status_ = nullptr;
  QLabel* elapsed_ = nullptr;
  QMenu* recent_menu_ = nullptr;
  QAction* save_input_ = nullptr;
  QShortcut* continue_key_ = nullptr;
  ListDisplay* display_ = nullptr;

  // Last member: the worker starts after everything it uses exists.
  std::unique_ptr<TDoThread> worker_;
};

}  // namespace ct::gui
