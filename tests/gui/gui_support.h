// What the window's tests share: dialogs the test answers, and short ways
// to reach the window's controls and texts.
#pragma once

#include <QPlainTextEdit>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/gui/dialogs.h"

namespace ct::testing {

struct ShownMessage {
  QString caption;
  QString text;
  gui::BoxIcon icon;
};

// Every dialog is answered at once: message boxes are recorded, file dialogs
// return the answer the test set (nullopt: cancelled).
class FakeDialogs : public gui::Dialogs {
 public:
  void Message(QWidget*, const QString& caption, const QString& text, gui::BoxIcon icon) override {
    messages.push_back({caption, text, icon});
    if (on_message) on_message();
  }
  std::optional<QString> OpenFile(QWidget*, const QString& preset) override {
    open_presets << preset;
    return open_answer;
  }
  std::optional<QString> SaveFile(QWidget*, const QString& preset) override {
    save_presets << preset;
    return save_answer;
  }

  std::vector<ShownMessage> messages;
  std::function<void()> on_message;  // runs while the box would be up
  QStringList open_presets;
  QStringList save_presets;
  std::optional<QString> open_answer;
  std::optional<QString> save_answer;
};

template <typename Widget>
Widget* Control(QWidget& window, const char* name) {
  return window.findChild<Widget*>(QString::fromLatin1(name));
}

QString Utf8(std::string_view text);
QString EditorText(QWidget& window, const char* name);
// GBK lines as an editor shows them: decoded, one per paragraph.
QString ShownText(const std::vector<std::string>& gbk_lines);

}  // namespace ct::testing
