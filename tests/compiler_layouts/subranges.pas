// Subrange types are stored in the smallest of 1, 2 or 4 bytes that holds
// the range, aligned as that size.
type
  SrDay = 1..31;
  SrColour = (srRed, srOrange, srYellow, srGreen, srBlue);
  SrWarm = srRed..srYellow;
  SrWord = Low(Word)..High(Word);

  SrInline = record
    a: 0..255;
    b: -128..127;
    c: Byte;
    w: 0..65535;
    s: -1..1000;
    l: 0..70000;
    n: -40000..40000;
  end;
  SrNamed = record
    b: Byte;
    day: SrDay;
    warm: SrWarm;
    c: Byte;
    w: SrWord;
    lw: Low(Word)..High(Word);
  end;
