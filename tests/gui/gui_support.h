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

// Every dialog is answered at once: message boxes are recorded, questions
// and file dialogs return the answer the test set (nullopt: cancelled).
class FakeDialogs : public gui::Dialogs {
 public:
  void Message(QWidget*, const QString& caption, const QString& text, gui::BoxIcon icon) override {
    messages.push_back({caption, text, icon});
    if (on_message) on_message();
  }
  bool RunMessage(QWidget* parent, const QString& caption, const QString& text, gui::BoxIcon icon,
                  const QString&) override {
    Message(parent, caption, text, icon);
    return no_more_answer;
  }
  gui::Answer Ask(QWidget*, const QString&, const QString& text, bool) override {
    questions << text;
    return ask_answer;
  }
  std::optional<QString> OpenFile(QWidget*, const QString& preset, const QString&) override {
    open_presets << preset;
    return open_answer;
  }
  std::optional<QString> SaveFile(QWidget*, const QString& preset) override {
    save_presets << preset;
    return save_answer;
  }
  std::optional<QString> ChooseFolder(QWidget*, const QString&) override { return folder_answer; }
  std::optional<int> AskLine(QWidget*, int, int) override { return line_answer; }
  void ShowInSystem(const QString& path) override { shown_in_system << path; }

  std::vector<ShownMessage> messages;
  std::function<void()> on_message;  // runs while the box would be up
  bool no_more_answer = true;        // the box's "no more of these" as left
  QStringList questions;
  gui::Answer ask_answer = gui::Answer::kYes;
  QStringList open_presets;
  QStringList save_presets;
  QStringList shown_in_system;
  std::optional<QString> open_answer;
  std::optional<QString> save_answer;
  std::optional<QString> folder_answer;
  std::optional<int> line_answer;
};

// Each test starts from no remembered settings (the window keeps its size,
// choices and recent folders between starts).
void ForgetSettings();

template <typename Widget>
Widget* Control(QWidget& window, const char* name) {
  return window.findChild<Widget*>(QString::fromLatin1(name));
}

QString Utf8(std::string_view text);
QString EditorText(QWidget& window, const char* name);
// GBK lines as an editor shows them: decoded, one per paragraph.
QString ShownText(const std::vector<std::string>& gbk_lines);

}  // namespace ct::testing
