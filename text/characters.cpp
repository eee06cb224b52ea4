#include "text/characters.h"

namespace ct {

std::string ReplaceAllCharacters(std::string_view text, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(text);
  std::string out;
  out.reserve(text.size());
  size_t copied = 0;    // text before this is in `out`
  size_t character = 0;  // a character starts here
  // Every round moves past one occurrence, or ends.
  for (size_t found = text.find(from); found != std::string_view::npos; found = text.find(from, found + 1)) {
    while (character < found) character += CharacterLength(text, character);
    if (character != found) continue;  // the occurrence starts inside a character
    out.append(text.substr(copied, found - copied));
    out.append(to);
    copied = character = found + from.size();
    found = copied - 1;
  }
  out.append(text.substr(copied));
  return out;
}

}  // namespace ct
