// Records with 8-byte members: a Double or Int64 is aligned to 8 under {$A8},
// after a Byte, at the end, and inside embedded records.
type
  // after a Byte
  R8ByteDouble = record
    b: Byte;
    d: Double;
  end;
  R8ByteInt64 = record
    b: Byte;
    q: Int64;
  end;
  // after an Integer, a Single and a Word
  R8IntDouble = record
    i: Integer;
    d: Double;
    c: Byte;
  end;
  R8SingleDouble = record
    b: Byte;
    s: Single;
    d: Double;
  end;
  R8WordInt64Word = record
    w: Word;
    q: Int64;
    w2: Word;
  end;
  // at the end: the record's size follows the 8-byte member
  R8DoubleByte = record
    d: Double;
    b: Byte;
  end;
  R8ThreeIntsDouble = record
    a, b, c: Integer;
    d: Double;
  end;
  // Real is Double; TDateTime is a Double too
  R8RealDate = record
    b: Byte;
    r: Real;
    c: Byte;
    t: TDateTime;
  end;
  // nested: an embedded record with a Double is aligned to 8 and keeps its padding
  R8Outer = record
    b: Byte;
    inner: R8DoubleByte;
    c: Byte;
  end;
  R8OuterInt64 = record
    w: Word;
    inner: R8ByteInt64;
    c: Byte;
  end;
  R8Deep = record
    b: Byte;
    o: R8Outer;
    e: Word;
  end;
  // an Int64 after an odd number of Integers in a nested record
  R8IntPair = record
    i: Integer;
    q: Int64;
  end;
  R8IntPairs = record
    b: Byte;
    p1: R8IntPair;
    p2: R8IntPair;
  end;
