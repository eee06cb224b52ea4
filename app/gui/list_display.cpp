#include "app/gui/list_display.h"

#include <QPlainTextEdit>
#include <QThread>

#include <algorithm>


namespace ct::gui {

// What the helper thread and the display share: the display, as long as it
// exists. A result is handed over under the lock, so the display cannot go
// away in between; Qt drops an event still queued for it when it does.
struct ListDisplay::Channel {
  std::mutex mutex;
  ListDisplay* display = nullptr;
};

ListDisplay::ListDisplay(QPlainTextEdit* editor, DisplayPacer::Millis minimum_gap)
    : QObject(editor), editor_(editor), pacer_(minimum_gap), channel_(std::make_shared<Channel>()) {
  channel_->display = this;
  clock_.start();
  due_.setSingleShot(true);
  connect(&due_, &QTimer::timeout, this, &ListDisplay::Flush);
}

ListDisplay::~ListDisplay() {
  {
    std::lock_guard lock(channel_->mutex);
    channel_->display = nullptr;
  }
  if (builder_.joinable()) builder_.join();
}

void ListDisplay::ShowNow(const std::vector<std::string>& lines) {
  Forget();
  if (ListBytes(lines) >= kLargeListBytes) {
    StartBuild(lines);
    return;
  }
  DisplayPacer::Millis start = Now();
  Install(BuildListDocument(lines, editor_->font(), editor_->thread()));
  pacer_.Shown(start, Now() - start);
}

void ListDisplay::ShowDocument(EditorDocument document) {
  Forget();
  DisplayPacer::Millis start = Now();
  Install(std::move(document));
  pacer_.Shown(start, Now() - start);
}

void ListDisplay::Offer(const std::vector<std::string>& lines) {
  if (pacer_.MayShowAt(Now()) && !building_) {
    ShowNow(lines);
    return;
  }
  held_ = lines;
  if (!due_.isActive()) due_.start(static_cast<int>(std::clamp<DisplayPacer::Millis>(pacer_.DueAt() - Now(), 0, 60000)));
}

void ListDisplay::Flush() {
  if (!held_) return;
  std::vector<std::string> lines = std::move(*held_);
  ShowNow(lines);
}

void ListDisplay::Forget() {
  held_.reset();
  next_.reset();
  due_.stop();
  ++generation_;
}

void ListDisplay::Install(EditorDocument document) {
  InstallDocument(*editor_, std::move(document));
  emit Shown();
}

void ListDisplay::StartBuild(std::vector<std::string> lines) {
  if (building_) {
    next_ = std::move(lines);
    return;
  }
  if (builder_.joinable()) builder_.join();
  building_ = true;
  builder_ = std::thread([channel = channel_, lines = std::move(lines), font = editor_->font(),
                          owner = editor_->thread(), generation = generation_] {
    QElapsedTimer clock;
    clock.start();
    auto document = std::make_shared<EditorDocument>(BuildListDocument(lines, font, owner));
    DisplayPacer::Millis cost = clock.elapsed();
    std::lock_guard lock(channel->mutex);
    if (channel->display == nullptr) return;
    QMetaObject::invokeMethod(
        channel->display,
        [display = channel->display, generation, document, cost] {
          display->Built(generation, std::move(*document), cost);
        },
        Qt::QueuedConnection);
  });
}

// The helper's cost counts for the pacing too: a person waits for the list
// either way, and the helper takes a core from the run.
void ListDisplay::Built(unsigned generation, EditorDocument document, DisplayPacer::Millis build_cost) {
  builder_.join();
  building_ = false;
  if (next_) {
    std::vector<std::string> lines = std::move(*next_);
    next_.reset();
    StartBuild(std::move(lines));
    return;
  }
  if (generation != generation_) return;
  DisplayPacer::Millis start = Now();
  Install(std::move(document));
  pacer_.Shown(start, Now() - start + build_cost);
}

}  // namespace ct::gui
