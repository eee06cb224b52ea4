// Method pointers (procedure ... of object, function ... of object, and event
// types such as TNotifyEvent) hold code and object: 8 bytes, aligned to 4.
// A plain procedural type is one 4-byte pointer.
type
  MpProc = procedure(Sender: TObject) of object;
  MpFunc = function(Value: Integer): Boolean of object;
  MpPlainProc = procedure(Value: Integer);

  // between Byte fields
  MpRec = record
    b: Byte;
    p: MpProc;
    c: Byte;
    f: MpFunc;
    i: Integer;
  end;
  // TNotifyEvent as it comes with the prelude
  MpNotify = record
    b: Byte;
    OnClick: TNotifyEvent;
    w: Word;
  end;
  // a method pointer type written in the field itself
  MpInline = record
    b: Byte;
    p: procedure of object;
    c: Byte;
    f: function: Integer of object;
  end;
  // a method pointer does not need 8-byte alignment; a Double after it does
  MpThenDouble = record
    b: Byte;
    p: MpProc;
    d: Double;
  end;
  // a plain procedural field for comparison: 4 bytes
  MpPlain = record
    b: Byte;
    p: MpPlainProc;
    c: Byte;
  end;
  // event fields of a class
  MpClass = class
    FFlag: Byte;
    FOnChange: TNotifyEvent;
    FOnDone: MpProc;
    FTag: Integer;
  end;
  MpClassKid = class(MpClass)
    FOnQuery: MpFunc;
  end;
  // arrays of method pointers step by 8 bytes
  MpArrays = record
    b: Byte;
    a: array[0..2] of MpProc;
    c: Byte;
    d: array of MpFunc;
  end;
