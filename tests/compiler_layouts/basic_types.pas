// Basic types after a Byte: each is aligned as its type (Extended, Variant,
// OleVariant, Real48, Comp and Currency to 8 under {$A8}).
type
  BtExtended = record
    b: Byte;
    e: Extended;
    c: Byte;
  end;
  BtVariant = record
    b: Byte;
    v: Variant;
    c: Byte;
  end;
  BtOleVariant = record
    b: Byte;
    v: OleVariant;
    c: Byte;
  end;
  BtReal48 = record
    b: Byte;
    r: Real48;
    c: Byte;
  end;
  BtComp = record
    b: Byte;
    c: Comp;
  end;
  BtCurrency = record
    b: Byte;
    c: Currency;
    e: Byte;
  end;
  // the small ordinal types, each after a Byte
  BtOrdinals = record
    b1: Byte;
    si: Shortint;
    b2: Byte;
    sm: Smallint;
    b3: Byte;
    wc: WideChar;
    b4: Byte;
    wb: WordBool;
    b5: Byte;
    ca: Cardinal;
    b6: Byte;
    lb: LongBool;
    b7: Byte;
    bb: ByteBool;
    ac: AnsiChar;
    bo: Boolean;
    b8: Byte;
    sg: Single;
  end;
  // strings and pointers
  BtStrings = record
    b1: Byte;
    s: string;
    b2: Byte;
    ws: WideString;
    b3: Byte;
    ss: ShortString;
    b4: Byte;
    s10: String[10];
    b5: Byte;
    pc: PChar;
    b6: Byte;
    p: Pointer;
  end;
  // arrays of the basic types aligned otherwise than by their size
  BtArrays = record
    b: Byte;
    e: array[0..1] of Extended;
    c: Byte;
    v: array[0..1] of Variant;
  end;
