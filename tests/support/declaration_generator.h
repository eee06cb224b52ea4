// Delphi declarations of every form the converter accepts, made from a seed,
// and written out the ways users write them: members one per line or a whole
// record on one line, neighbouring members of one type separate or grouped.
// The forms include variant parts, fields of anonymous record types,
// aliases of records, arrays indexed by types and subranges.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ct::testing {

enum class MemberLayout { kOnePerLine, kOneLine };
enum class MemberGroups { kSeparate, kGrouped };

struct FormMember {
  std::string name;
  std::string type;  // Delphi text, as it stands after the colon
  std::string note;  // a brace or star comment after the member, or nothing
};

// A record's variant part, after its members: "case [tag: Byte ]of", then
// each branch's label and its fields in brackets.
struct FormVariant {
  std::string tag;  // the tag field's name, or empty
  std::vector<std::vector<FormMember>> branches;
};

struct FormStructure {
  std::string name;
  std::string head;  // "record", "packed record", "class", "class(TObject)", ...
  std::string tail;  // what follows "end": a hint directive, or nothing
  std::vector<FormMember> members;
  FormVariant variant;  // no branches: none
  // Visibility sections, methods and properties: written only when the
  // members stand one per line, as real declarations hold them.
  std::vector<std::string> routines;
};

// One generated input after the prelude. Pieces keep their order; a piece is
// either text written the same in every layout or one of the structures.
class FormSample {
 public:
  void AddText(std::string lines);  // whole lines, each ending in "\n"
  void AddStructure(FormStructure structure);

  std::string Text(MemberLayout layout, MemberGroups groups) const;
  const std::vector<FormStructure>& Structures() const { return structures_; }

 private:
  struct Piece {
    std::string text;
    int structure = -1;
  };
  std::vector<Piece> pieces_;
  std::vector<FormStructure> structures_;
};

// Every member, in the order the record declares them: its members, then
// its variant part's tag and the fields of every branch.
std::vector<FormMember> DeclaredMembers(const FormStructure& structure);

// The same seed gives the same sample. With `unknown_types`, some members
// name types that no declaration gives, so that the run cannot lay out
// their structures, nor those that hold them.
FormSample GenerateFormSample(std::uint32_t seed, bool unknown_types = false);

}  // namespace ct::testing
