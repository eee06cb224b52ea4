// One declaration a line. The statement join hands over statements whose
// brackets are balanced; a real unit writes several declarations on one
// line, nests type and const sections inside its classes, and gives its
// objects and interfaces bodies that hold methods only. The walk follows
// the structures (record, object, class, interface ... end) through the
// statements and writes:
//   - each declaration outside a structure as a line of its own
//     (" A=1;B=2;" gives " A=1;" and " B=2;"); a structure written on one
//     line stays one line, and a directive after a ";" stays with its
//     declaration (" TCb=procedure;cdecl;");
//   - the declarations of a type or const section inside a structure as
//     declarations in their own right, in front of the structure; the
//     fields of a "class var" section, which no instance holds, not at all;
//   - an interface as what a field of its type holds, a reference:
//     " IFoo=interface;", without its parents, identifier and methods;
//   - an old-style object that has virtual methods, a constructor or a
//     destructor (and no ancestor with a VMT) with its VMT pointer after
//     its own fields, where the 32-bit compiler puts it;
//   - a record's variant part as the fields of its branches between the
//     marks of pipeline/variant_parts.h, its tag a field of its own, its
//     head and labels gone (" case Kind:Byte of 0:(a:Integer);1:(d:Double);"
//     gives " Kind:Byte;case:0;a:Integer;else:0;d:Double;end:0;");
//   - a field's anonymous record, at any depth and in variant branches, as
//     a record of its own in front of the structure that holds the field,
//     named after that structure and the field's first name (a name the
//     input does not use; " p:record x:Byte;end;" in TFoo gives
//     " TFoo_p=record x:Byte;end;" and " p:TFoo_p;").
// Every line keeps the input line where its declaration starts.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "text/line_list.h"
#include "text/scan.h"

namespace ct {

// The bytes of a statement from `first` on came from input line `origin`.
struct Stretch {
  Pos first = 1;
  LineOrigin origin = kNoOrigin;
};

class DeclarationWalk {
 public:
  // `source` is the whole input: the names it uses are never given to a
  // record the walk declares.
  DeclarationWalk(LineList& working, const LineList& source);
  ~DeclarationWalk();
  DeclarationWalk(const DeclarationWalk&) = delete;
  DeclarationWalk& operator=(const DeclarationWalk&) = delete;

  // One statement in the compact form, with the stretches it was joined
  // from, in order.
  void Add(std::string_view statement, const std::vector<Stretch>& stretches);
  // Writes what is still held back: structures that no "end" closed.
  void Finish();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace ct
