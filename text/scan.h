// Byte-string scanning primitives shared by every stage.
//
// Positions are 1-based byte positions; 0 means "not found". Nothing here
// knows about double-byte characters: a GBK character is two positions (the
// scans that decide structure walk characters with text/characters.h).
// Case-insensitive comparison folds only ASCII A-Z. Every function accepts
// any argument: a position outside the text never matches and nothing is
// read or written outside a string.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace ct {

using Pos = std::ptrdiff_t;

// Texts longer than this yield an empty token from GetValidToken.
inline constexpr Pos kTokenLimit = 20479;
// The far remainder of SplitAtChar is cut to this many bytes.
inline constexpr Pos kSplitRemainderLimit = 32767;

// ---- Small helpers with 1-based, clamped semantics -------------------------

inline Pos Len(std::string_view s) { return static_cast<Pos>(s.size()); }

// Byte at 1-based position p, or '\0' when p lies outside the text.
char At(std::string_view s, Pos p);

// Up to `count` bytes starting at position `from` (clamped to the text).
std::string Copy(std::string_view s, Pos from, Pos count);
// Bytes from position `from` to position `to`, both included (clamped).
std::string Slice(std::string_view s, Pos from, Pos to);
// Everything from position `from` on.
std::string Tail(std::string_view s, Pos from);
// Removes up to `count` bytes at `from`; does nothing when `from` is outside.
void Erase(std::string& s, Pos from, Pos count);
// Inserts `what` before position `at`; at < 1 inserts in front, beyond the
// end appends.
void InsertAt(std::string& s, std::string_view what, Pos at);
// Replaces `count` bytes at `from` by `what` (Erase then InsertAt).
void Replace(std::string& s, Pos from, Pos count, std::string_view what);

bool IsBlank(unsigned char c);  // value 32 or below
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);
char LowerAscii(char c);
std::string LowerAscii(std::string_view s);
std::string UpperAscii(std::string_view s);
bool SameText(std::string_view a, std::string_view b);
bool ContainsText(std::string_view text, std::string_view sub);  // ignoring case
bool Contains(std::string_view text, std::string_view sub);      // exact
// Exact (case-sensitive) search from `start`; 0 when absent.
Pos FindExact(std::string_view text, std::string_view sub, Pos start = 1);

// Replaces every occurrence, left to right, without rescanning replaced text.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);
std::string ReplaceAllText(std::string_view text, std::string_view from, std::string_view to);
// Replaces the first occurrence only.
std::string ReplaceFirst(std::string_view text, std::string_view from, std::string_view to);
std::string ReplaceFirstText(std::string_view text, std::string_view from, std::string_view to);
// Deletes one space of every double space until none is left.
std::string CollapseSpaces(std::string_view text);

// Signed decimal text to integer; nullopt for anything that is not a plain
// optional "-" followed by digits, or that does not fit.
std::optional<std::int64_t> ParseInt64(std::string_view text);
std::optional<std::int32_t> ParseInt32(std::string_view text);

// ---- Scanning primitives ----------------------------------------------------

Pos FindChar(std::string_view text, char c, Pos start);
Pos FindCharInRange(std::string_view text, char c, Pos from, Pos to);
Pos FindText(std::string_view text, std::string_view sub, Pos start);
Pos CountText(std::string_view text, std::string_view sub);

struct Split {
  std::string near;
  std::string far;
};
Split SplitAtChar(std::string_view text, char c, bool from_end);
std::string CutAtChar(std::string& text, char c, bool from_end);

struct Token {
  std::string token;
  std::string rest;
};
Token GetValidToken(std::string_view text, std::string_view dividers);

bool IsIntegerText(std::string_view text);
std::int64_t HexToInt64(std::string_view text);
// "$" and hexadecimal digits whose value fits 64 bits; anything else is no
// number that a step could use, so it is left as written.
bool IsHexConstant(std::string_view token);
std::string ReplaceChar(std::string_view text, char from, char to);
bool IsInsideQuotes(std::string_view text, Pos first, Pos pos);
void EmptyQuotedStrings(std::string& text);
void RestoreQuotedStrings(std::string_view source, std::string& target);
std::string WithEmptiedStrings(std::string_view text);
// The text with every byte inside a pair of double quotes replaced by
// kMaskByte: same length, same positions, so structural searches can run on
// the mask and edits apply to the text itself.
inline constexpr char kMaskByte = '\x01';
std::string MaskQuotedStrings(std::string_view text);
// GetValidToken for one divider, blind to dividers inside double-quoted
// strings and without its length limit: splits a structure line whatever
// literals it holds and however many members it has.
Token GetTokenOutsideQuotes(std::string_view text, char divider);
// ReplaceAllText that leaves the inside of double-quoted strings alone
// (`from` holds no double quote).
std::string ReplaceAllTextOutsideQuotes(std::string_view text, std::string_view from, std::string_view to);
// Replace-all ignoring case that matches only where `mask` (same length as
// the text) still holds the text's own bytes.
std::string ReplaceAllTextMasked(std::string_view text, std::string_view mask, std::string_view from,
                                 std::string_view to);

}  // namespace ct
