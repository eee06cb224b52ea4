// Arrays indexed by a type take as many elements as the index type has values.
type
  IaKind = (iaFirst, iaSecond, iaThird);
  IaSub = 3..7;

  IaByte = record
    b: Byte;
    all: array[Byte] of Byte;
    c: Byte;
  end;
  IaBoolean = record
    b: Byte;
    flags: array[Boolean] of Integer;
    c: Byte;
  end;
  IaEnum = record
    b: Byte;
    names: array[IaKind] of Word;
    c: Byte;
  end;
  IaSubrange = record
    b: Byte;
    vals: array[IaSub] of Integer;
    c: Byte;
  end;
  IaTwoIndexes = record
    b: Byte;
    grid: array[IaKind, Boolean] of Integer;
    c: Byte;
  end;
  IaChar = record
    b: Byte;
    map: array[Char] of Byte;
    w: Word;
  end;
  IaLowHigh = record
    b: Byte;
    m: array[Low(IaKind)..High(IaKind)] of Integer;
    c: Byte;
  end;
  IaMixed = record
    b: Byte;
    m: array[0..1, IaKind] of Byte;
    c: Byte;
  end;
