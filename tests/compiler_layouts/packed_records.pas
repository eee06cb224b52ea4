// Packed records: no padding inside; a packed record used as a field is
// aligned to 1.
type
  PkRec = packed record
    b: Byte;
    i: Integer;
    w: Word;
    d: Double;
  end;
  PkPair = packed record
    a, b: Integer;
  end;
  // a packed record as a field of an unpacked record
  PkPairAfterByte = record
    b: Byte;
    p: PkPair;
    c: Byte;
  end;
  // the prelude's TPoint is packed
  PkPointAfterByte = record
    b: Byte;
    pt: TPoint;
  end;
  // arrays inside a packed record, and an array of packed records
  PkArrays = packed record
    b: Byte;
    w: array[0..2] of Word;
    d: Double;
  end;
  PkPairs = record
    b: Byte;
    pairs: array[0..1] of PkPair;
    c: Byte;
  end;
  // an unpacked record inside a packed one keeps its own size
  PkNatural = record
    a: Byte;
    i: Integer;
  end;
  PkHolder = packed record
    b: Byte;
    n: PkNatural;
    c: Byte;
  end;
  // a packed class
  PkClass = packed class
    cb: Byte;
    ci: Integer;
  end;
