// expected: recorded by hand (layout.py cuts methods out, and with them the
// VMT pointer); see README.md
// Old-style objects with virtual methods also hold a VMT pointer, placed after
// the fields of the object that declares the first virtual method.
type
  OvVirt = object
    a: Byte;
    b: Integer;
    constructor Init;
    procedure Show; virtual;
  end;
  OvKid = object(OvVirt)
    c: Byte;
  end;
  // the VMT pointer after an inherited object's fields
  OvBase = object
    a: Byte;
    w: Word;
  end;
  OvLate = object(OvBase)
    c: Byte;
    constructor Init;
    procedure Show; virtual;
  end;
  // after a Double
  OvDouble = object
    a: Byte;
    d: Double;
    constructor Init;
    procedure Show; virtual;
  end;
  // after a lone Byte: under {$A8} the compiler puts the VMT pointer at 8
  OvOdd = object
    a: Byte;
    constructor Init;
    procedure Show; virtual;
  end;
  // virtual methods and no fields: the VMT pointer is first
  OvOnly = object
    constructor Init;
    procedure Show; virtual;
  end;
  OvOnlyKid = object(OvOnly)
    a: Byte;
    d: Double;
  end;
  // an object with a VMT pointer used as a field
  OvUser = record
    b: Byte;
    o: OvVirt;
    c: Byte;
  end;
