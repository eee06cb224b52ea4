// Fields of an anonymous record type lay out as records of their own.
type
  // the X11 size hints: two fields of one anonymous type
  AnSizeHints = record
    flags: Longint;
    x, y: Integer;
    min_aspect, max_aspect: record
      x, y: Longint;
    end;
    base_width: Integer;
  end;
  // a packed anonymous record
  AnPacked = record
    b: Byte;
    p: packed record
      pb: Byte;
      pi: Integer;
    end;
    c: Byte;
  end;
  // anonymous records nested in anonymous records
  AnNested = record
    a: Byte;
    outer: record
      ob: Byte;
      inner: record
        iw: Word;
        id: Double;
      end;
    end;
    e: Byte;
  end;
  // an anonymous record inside a variant branch
  AnInVariant = record
    kind: Byte;
    case Integer of
      0: (pt: record
            px, py: Smallint;
          end);
      1: (all: Longint);
  end;
  // an array of an anonymous record type
  AnArray = record
    n: Byte;
    items: array[0..1] of record
      k: Byte;
      v: Integer;
    end;
    z: Byte;
  end;
