// Sets take (high div 8) - (low div 8) + 1 bytes of their base type's
// ordinal range ({$PACKSET 1}): 1 to 32 bytes.
const
  SeTop = 23;

type
  SeE3 = (se3a, se3b, se3c);
  SeE9 = (se9a, se9b, se9c, se9d, se9e, se9f, se9g, se9h, se9i);
  SeE17 = (se17a, se17b, se17c, se17d, se17e, se17f, se17g, se17h, se17i,
    se17j, se17k, se17l, se17m, se17n, se17o, se17p, se17q);
  SeRange39 = set of 0..39;

  // 1 byte: set of 0..7, set of 8..15, a set of 3 values
  SeSet0to7 = record
    b: Byte;
    s: set of 0..7;
    c: Byte;
  end;
  SeSet8to15 = record
    b: Byte;
    s: set of 8..15;
    c: Byte;
  end;
  SeSetE3 = record
    b: Byte;
    s: set of SeE3;
    c: Byte;
  end;
  // 2 bytes: a set of 9 values, set of 0..15
  SeSetE9 = record
    b: Byte;
    s: set of SeE9;
    c: Byte;
  end;
  SeSet0to15 = record
    b: Byte;
    s: set of 0..15;
    c: Byte;
  end;
  // 3 bytes: a set of 17 values, set of 30..40 (bytes 3 to 5 of the range)
  SeSetE17 = record
    b: Byte;
    s: set of SeE17;
    c: Byte;
  end;
  SeSet30to40 = record
    b: Byte;
    s: set of 30..40;
    c: Byte;
  end;
  // 4 bytes: set of 0..31
  SeSet0to31 = record
    b: Byte;
    s: set of 0..31;
    c: Byte;
  end;
  // 5 bytes: set of 0..39, written in the field and as a named type
  SeSet0to39 = record
    b: Byte;
    s: set of 0..39;
    c: Byte;
    t: SeRange39;
    d: Byte;
  end;
  // 32 bytes: set of Char, set of Byte
  SeSetChar = record
    b: Byte;
    s: set of Char;
    c: Byte;
  end;
  SeSetByte = record
    b: Byte;
    s: set of Byte;
    c: Byte;
  end;
  // a set of an enumeration written in the set itself
  SeSetInline = record
    b: Byte;
    s: set of (seiA, seiB, seiC, seiD, seiE, seiF, seiG, seiH, seiI, seiJ);
    c: Byte;
  end;
  // a set of characters, of Boolean, of an enumeration through its alias,
  // of a range bound by a constant
  SeE9Alias = SeE9;
  SeSetMisc = record
    b: Byte;
    az: set of 'a'..'z';
    c: Byte;
    bo: set of Boolean;
    d: Byte;
    al: set of SeE9Alias;
    e: Byte;
    co: set of 0..SeTop;
    f: Byte;
  end;
