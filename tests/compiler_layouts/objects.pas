// Old-style objects without virtual methods lay out like records; methods
// that are not virtual take no room.
type
  ObPlain = object
    a: Byte;
    b: Integer;
  end;
  ObWithMethods = object
    a: Byte;
    d: Double;
    procedure Show;
    function Value: Integer;
  end;
  ObKid = object(ObPlain)
    c: Byte;
  end;
  ObGrandKid = object(ObKid)
    e: Word;
  end;
  // an object used as a field
  ObUser = record
    b: Byte;
    o: ObPlain;
    c: Byte;
  end;
