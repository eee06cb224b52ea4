// Every dialog and message box the window shows, and the one thing it asks
// of the desktop (opening a file or folder in the system's viewer), go
// through this seam, so that tests can answer them.
#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace ct::gui {

enum class BoxIcon { kNone, kInformation, kError };
enum class Answer { kYes, kNo, kCancel };

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // Modal; returns when the user has dismissed the box.
  virtual void Message(QWidget* parent, const QString& caption, const QString& text, BoxIcon icon) = 0;
  // A box a run may raise many times: it offers a check box, ticked at
  // first, to show no more of its kind in this run. True when it was ticked.
  virtual bool RunMessage(QWidget* parent, const QString& caption, const QString& text, BoxIcon icon,
                          const QString& no_more) = 0;
  // Yes or No, and Cancel when `cancel` is true.
  virtual Answer Ask(QWidget* parent, const QString& caption, const QString& text, bool cancel) = 0;
  // The chosen file, or nullopt when the user cancelled. `preset` names the
  // file the dialog offers first; `filter` (Qt's form) limits the choice.
  virtual std::optional<QString> OpenFile(QWidget* parent, const QString& preset, const QString& filter = {}) = 0;
  virtual std::optional<QString> SaveFile(QWidget* parent, const QString& preset) = 0;
  virtual std::optional<QString> ChooseFolder(QWidget* parent, const QString& preset) = 0;
  // A line number from 1 to `count`, or nullopt when cancelled.
  virtual std::optional<int> AskLine(QWidget* parent, int current, int count) = 0;
  // Opens a file or folder with the program the desktop has for it.
  virtual void ShowInSystem(const QString& path) = 0;
};

// The real dialogs of the desktop.
class QtDialogs : public Dialogs {
 public:
  void Message(QWidget* parent, const QString& caption, const QString& text, BoxIcon icon) override;
  bool RunMessage(QWidget* parent, const QString& caption, const QString& text, BoxIcon icon,
                  const QString& no_more) override;
  Answer Ask(QWidget* parent, const QString& caption, const QString& text, bool cancel) override;
  std::optional<QString> OpenFile(QWidget* parent, const QString& preset, const QString& filter = {}) override;
  std::optional<QString> SaveFile(QWidget* parent, const QString& preset) override;
  std::optional<QString> ChooseFolder(QWidget* parent, const QString& preset) override;
  std::optional<int> AskLine(QWidget* parent, int current, int count) override;
  void ShowInSystem(const QString& path) override;
};

}  // namespace ct::gui
