// Arrays of records: an array steps by its element's whole size (padding
// included), and a field after the array starts after the last element's
// padding.
type
  // the element of the issue: whole size 16 under {$A8} (12 when padded to 4)
  ArElem = record
    d: Double;
    b: Byte;
  end;
  ArThree = record
    e: array[0..2] of ArElem;
    after: Byte;
  end;
  ArLead = record
    b: Byte;
    e: array[0..2] of ArElem;
    i: Integer;
  end;
  // an element whose last member ends before its whole size (3 of 4 bytes)
  ArSmall = record
    w: Word;
    b: Byte;
  end;
  ArSmalls = record
    s: array[0..4] of ArSmall;
    c: Byte;
  end;
  ArSmallsAfterByte = record
    b: Byte;
    s: array[1..3] of ArSmall;
    c: Byte;
  end;
  // an element of Integer alignment with a trailing Byte
  ArIntByte = record
    i: Integer;
    b: Byte;
  end;
  ArIntBytes = record
    b: Byte;
    a: array[0..1] of ArIntByte;
    c: Byte;
  end;
  // two dimensions of records
  ArGrid = record
    b: Byte;
    m: array[0..1, 0..2] of ArSmall;
    c: Byte;
  end;
  // arrays of basic types keep their element's alignment
  ArWords = record
    b: Byte;
    w: array[0..2] of Word;
    c: Byte;
  end;
  ArDoubles = record
    b: Byte;
    d: array[0..1] of Double;
    c: Byte;
  end;
  // a dynamic array is a pointer, whatever its element
  ArDynamic = record
    b: Byte;
    d: array of ArElem;
    c: Byte;
  end;
  // an array of records inside a class
  ArClass = class
    cb: Byte;
    ce: array[0..1] of ArElem;
    cc: Byte;
  end;
