// An embedded record is aligned by its own alignment (the largest alignment
// of its members), not by its size.
type
  // the Windows SID: a record of 6 bytes, aligned to 1, after two Bytes
  EmIdentifierAuthority = record
    Value: array[0..5] of Byte;
  end;
  EmSid = record
    Revision: Byte;
    SubAuthorityCount: Byte;
    IdentifierAuthority: EmIdentifierAuthority;
    SubAuthority: array[0..0] of DWORD;
  end;
  // a record of two Integers is aligned to 4, not to its size 8
  EmPair = record
    a, b: Integer;
  end;
  EmPairAfterByte = record
    b: Byte;
    p: EmPair;
    c: Byte;
  end;
  // a record of three Words: 6 bytes aligned to 2
  EmWords = record
    w1, w2, w3: Word;
  end;
  EmWordsAfterByte = record
    b: Byte;
    w: EmWords;
    c: Byte;
  end;
  // a record of Bytes and one Word inside a record of Bytes
  EmMixed = record
    m1: Byte;
    m2: Word;
    m3: Byte;
  end;
  EmMixedAfterByte = record
    b: Byte;
    m: EmMixed;
    c: Byte;
  end;
  // a record with a Double is aligned to 8
  EmDouble = record
    d: Double;
  end;
  EmDoubleAfterInt = record
    i: Integer;
    d: EmDouble;
  end;
  // a record holding a ShortString (alignment 1)
  EmName = record
    n: String[7];
  end;
  EmNameAfterByte = record
    b: Byte;
    n: EmName;
    c: Byte;
  end;
  // TRect from the prelude (four Longints), after a Byte
  EmRectAfterByte = record
    b: Byte;
    r: TRect;
  end;
