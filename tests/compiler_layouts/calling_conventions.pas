// Procedural types with a calling convention are 4-byte pointers like any
// other procedural type; with 'of object' they are 8-byte method pointers.
type
  CvStdFunc = function(a: Integer): Integer; stdcall;
  CvCdeclProc = procedure(p: Pointer); cdecl;
  CvFarProc = function: Integer; stdcall;
  CvPascalProc = procedure(a, b: Integer); pascal;
  CvStdMethod = procedure(a: Integer) of object; stdcall;

  // named types with calling conventions between other fields
  CvRec = record
    b: Byte;
    f: CvStdFunc;
    c: Byte;
    p: CvCdeclProc;
    far: CvFarProc;
    pas: CvPascalProc;
    i: Integer;
  end;
  // a calling convention written in the field itself
  CvInline = record
    b: Byte;
    f: function(x: Integer): Integer; stdcall;
    c: Byte;
    p: procedure(x: Pointer); cdecl;
    w: Word;
  end;
  // a method pointer with a calling convention
  CvMethod = record
    b: Byte;
    m: CvStdMethod;
    c: Byte;
  end;
