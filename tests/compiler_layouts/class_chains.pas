// Classes derived from parents of every instance size modulo 8, and their
// grandchildren: a derived class's fields start where its parent's instance
// ends (InstanceSize, which counts TObject's VMT pointer), each aligned as a
// field of its kind.
type
  // the parents: instance sizes 4 (the VMT pointer alone) to 17
  CcP4 = class
  end;
  CcP5 = class
    p5a: Byte;
  end;
  CcP6 = class
    p6a, p6b: Byte;
  end;
  CcP7 = class
    p7a, p7b, p7c: Byte;
  end;
  CcP8 = class
    p8a: Integer;
  end;
  CcP9 = class
    p9a: Integer;
    p9b: Byte;
  end;
  CcP10 = class
    p10a: Integer;
    p10b: Word;
  end;
  CcP11 = class
    p11a: Integer;
    p11b: Word;
    p11c: Byte;
  end;
  CcP12 = class
    p12a, p12b: Integer;
  end;
  CcP13 = class
    p13a, p13b: Integer;
    p13c: Byte;
  end;
  CcP14 = class
    p14a, p14b: Integer;
    p14c: Word;
  end;
  CcP15 = class
    p15a, p15b: Integer;
    p15c: Word;
    p15d: Byte;
  end;
  CcP16 = class
    p16a, p16b, p16c: Integer;
  end;
  CcP17 = class
    p17a, p17b, p17c: Integer;
    p17d: Byte;
  end;

  // a Byte then an Integer right after each parent
  CcK4 = class(CcP4)
    k4b: Byte;
    k4i: Integer;
  end;
  CcK5 = class(CcP5)
    k5b: Byte;
    k5i: Integer;
  end;
  CcK6 = class(CcP6)
    k6b: Byte;
    k6i: Integer;
  end;
  CcK7 = class(CcP7)
    k7b: Byte;
    k7i: Integer;
  end;
  CcK8 = class(CcP8)
    k8b: Byte;
    k8i: Integer;
  end;
  CcK9 = class(CcP9)
    k9b: Byte;
    k9i: Integer;
  end;
  CcK10 = class(CcP10)
    k10b: Byte;
    k10i: Integer;
  end;
  CcK11 = class(CcP11)
    k11b: Byte;
    k11i: Integer;
  end;
  CcK12 = class(CcP12)
    k12i: Integer;
  end;
  CcK13 = class(CcP13)
    k13b: Byte;
    k13i: Integer;
  end;
  CcK14 = class(CcP14)
    k14w: Word;
  end;
  CcK15 = class(CcP15)
    k15b: Byte;
  end;
  CcK16 = class(CcP16)
    k16b: Byte;
    k16i: Integer;
  end;
  CcK17 = class(CcP17)
    k17w: Word;
  end;

  // grandchildren: the child's instance ends at its own padded size
  CcG5 = class(CcK5)
    g5w: Word;
  end;
  CcG9 = class(CcK9)
    g9b: Byte;
  end;
  CcG13 = class(CcK13)
    g13w: Word;
    g13b: Byte;
  end;
  CcG14 = class(CcK14)
    g14b: Byte;
  end;
  CcG15 = class(CcK15)
    g15i: Integer;
  end;
  CcG17 = class(CcK17)
    g17b: Byte;
  end;
  // a great-grandchild
  CcGG13 = class(CcG13)
    gg13b: Byte;
  end;

  // a class without fields of its own in the middle of a chain
  CcMid12 = class(CcK12)
  end;
  CcAfterMid12 = class(CcMid12)
    am12b: Byte;
  end;

  // fields that need 8-byte alignment: a Double or Int64 goes to a multiple of 8
  CcDbl = class
    db: Byte;
    dd: Double;
  end;
  CcDblKid = class(CcDbl)
    dkb: Byte;
  end;
  CcI64First = class
    iq: Int64;
  end;
  CcP5Dbl = class(CcP5)
    p5d: Double;
  end;
  CcP9Dbl = class(CcP9)
    p9d: Double;
  end;
  CcP9DblKid = class(CcP9Dbl)
    p9dk: Byte;
  end;
  CcP12I64 = class(CcP12)
    p12q: Int64;
  end;
  // an 8-byte-aligned class whose fields end off a multiple of 8, then its child
  CcDblByte = class(CcP5)
    dbd: Double;
    dbb: Byte;
  end;
  CcDblByteKid = class(CcDblByte)
    dbkb: Byte;
  end;
  // a parent named through an alias of its class
  CcP12Alias = CcP12;
  CcViaAlias = class(CcP12Alias)
    vab: Byte;
  end;
