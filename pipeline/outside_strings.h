// The string protection that every text-rewriting stage shares.
#pragma once

#include <string>
#include <string_view>

#include "text/line_list.h"
#include "text/scan.h"

namespace ct {

// Runs `rewrite` on a copy of `line` whose string literals have been emptied
// and then puts the literals' contents back, so that plain substring
// replacements can never change the inside of a string.
template <typename Rewrite>
std::string RewriteOutsideStrings(std::string_view line, Rewrite&& rewrite) {
  std::string s = WithEmptiedStrings(line);
  rewrite(s);
  RestoreQuotedStrings(line, s);
  return s;
}

// Applies `rewrite` to every line of `list` with the strings protected.
template <typename Rewrite>
void RewriteEachLineOutsideStrings(LineList& list, Rewrite&& rewrite) {
  for (size_t i = 0; i < list.Count(); ++i) list.Put(i, RewriteOutsideStrings(list.Get(i), rewrite));
}

}  // namespace ct
