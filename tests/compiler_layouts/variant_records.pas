// Variant records: every branch of a case part starts where the fixed part
// ends, each field aligned as its type; the record covers the largest branch.
const
  VrLastKind = 9;
type
  // branches only (the Windows LARGE_INTEGER)
  VrLargeInteger = record
    case Integer of
      0: (LowPart: LongWord;
          HighPart: Longint);
      1: (QuadPart: Int64);
  end;
  // the TRect of Delphi's Windows unit: four Longints or two TPoints
  VrRect = record
    case Integer of
      0: (Left, Top, Right, Bottom: Longint);
      1: (TopLeft, BottomRight: TPoint);
  end;
  // a named tag of type Byte is a field of its own
  VrTagged = record
    case Kind: Byte of
      0: (AsInteger: Integer);
      1: (AsDouble: Double);
      2: (AsName: String[5]);
  end;
  // a case part after a fixed part whose end is a multiple of 4
  VrMessage = record
    Msg: Cardinal;
    case Integer of
      0: (WParam, LParam, Result: Longint);
      1: (WParamLo, WParamHi: Word;
          LParamLo, LParamHi: Word;
          ResultLo, ResultHi: Word);
  end;
  // a case part after a fixed Byte: each branch's fields keep their own alignment
  VrAfterByte = record
    a: Byte;
    case Integer of
      0: (x: Byte);
      1: (y: Integer);
  end;
  VrAfterWord = record
    a: Word;
    case Integer of
      0: (x: Byte;
          y: Integer);
      1: (z: Word);
  end;
  // a tagged case part after a fixed part, with an 8-byte branch
  VrTaggedAfterByte = record
    a: Byte;
    case k: Byte of
      0: (x: Byte);
      1: (d: Double);
  end;
  // labels that are lists, ranges and constants
  VrLabels = record
    case Byte of
      0, 1: (a: Integer);
      2..5: (b: Word);
      VrLastKind: (c: Byte);
  end;
  // nested case parts in parentheses (the TVarData of Delphi's System unit)
  VrVarData = record
    VType: Word;
    case Integer of
      0: (Reserved1: Word;
          case Integer of
            0: (Reserved2, Reserved3: Word;
                case Integer of
                  0: (VSmallInt: Smallint);
                  1: (VInteger: Integer);
                  2: (VDouble: Double);
                  3: (VPointer: Pointer));
            1: (VLongs: array[0..2] of Longint));
      1: (VWords: array[0..6] of Word);
      2: (VBytes: array[0..13] of Byte);
  end;
  // a record with a case part used as a field
  VrUser = record
    b: Byte;
    li: VrLargeInteger;
    r: VrRect;
  end;
