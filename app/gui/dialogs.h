// Every dialog and message box the window shows goes through this seam, so
// that tests can answer them.
#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace ct::gui {

enum class BoxIcon { kNone, kInformation, kError };

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // Modal; returns when the user has dismissed the box.
  virtual void Message(QWidget* parent, const QString& caption, const QString& text, BoxIcon icon) = 0;
  // The chosen file, or nullopt when the user cancelled. `preset` names the
  // file the dialog offers first.
  virtual std::optional<QString> OpenFile(QWidget* parent, const QString& preset) = 0;
  virtual std::optional<QString> SaveFile(QWidget* parent, const QString& preset) = 0;
};

// The real dialogs of the desktop.
class QtDialogs : public Dialogs {
 public:
  void Message(QWidget* parent, const QString& caption, const QString& text, BoxIcon icon) override;
  std::optional<QString> OpenFile(QWidget* parent, const QString& preset) override;
  std::optional<QString> SaveFile(QWidget* parent, const QString& preset) override;
};

}  // namespace ct::gui
