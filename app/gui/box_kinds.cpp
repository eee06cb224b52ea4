#include "app/gui/box_kinds.h"

#include "pipeline/texts.h"
#include "text/gbk.h"

namespace ct::gui {

std::string BoxKind(std::string_view caption, std::string_view text) {
  // The fixed parts of the texts that name something: the two list lengths
  // inside the list-length box.
  struct Frame {
    std::string head;
    std::string tail;
  };
  static const Frame kFrames[] = {
      {Gbk(texts::kListLengthBoxHead), Gbk(texts::kListLengthBoxTail)},
  };
  std::string kind(caption);
  kind += '\n';
  for (const Frame& frame : kFrames)
    if (text.size() >= frame.head.size() + frame.tail.size() && text.starts_with(frame.head) && text.ends_with(frame.tail))
      return kind + frame.head + "..." + frame.tail;
  return kind + std::string(text);
}

}  // namespace ct::gui
