#include "app/gui/window_placement.h"

#include <algorithm>

namespace ct::gui {

QRect FitIntoScreen(const QRect& wanted, bool positioned, const QRect& available) {
  QSize size = wanted.size().boundedTo(available.size());
  QPoint top_left = positioned ? wanted.topLeft()
                               : available.center() - QPoint(size.width() / 2, size.height() / 2);
  top_left.setX(std::clamp(top_left.x(), available.left(), available.right() - size.width() + 1));
  top_left.setY(std::clamp(top_left.y(), available.top(), available.bottom() - size.height() + 1));
  return {top_left, size};
}

QStringList WithRecentFolder(QStringList folders, const QString& folder) {
  folders.removeAll(folder);
  folders.prepend(folder);
  while (folders.size() > kRecentFolders) folders.removeLast();
  return folders;
}

}  // namespace ct::gui
