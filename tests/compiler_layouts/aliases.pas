// An alias of a record is that record: as a field type, as an element type,
// through a chain of aliases and through 'type T'. Aliases of basic types
// keep their element size in arrays.
type
  AlHeader = record
    kind: Byte;
    flags: Byte;
    len: Word;
  end;
  AlHeaderAlias = AlHeader;
  AlHeaderChain = AlHeaderAlias;
  AlHeaderType = type AlHeader;
  PAlHeaderAlias = ^AlHeaderAlias;

  // an alias as a field type (the Windows ACE: Header, then Mask)
  AlAce = record
    Header: AlHeaderAlias;
    Mask: LongWord;
  end;
  // a chain of aliases and 'type T'
  AlChains = record
    b: Byte;
    h1: AlHeaderChain;
    h2: AlHeaderType;
    c: Byte;
  end;
  // arrays of aliases
  AlArray = record
    n: Byte;
    items: array[0..2] of AlHeaderAlias;
    last: Word;
  end;
  // a pointer to an alias is a pointer
  AlPointer = record
    b: Byte;
    p: PAlHeaderAlias;
  end;
  // an alias of a basic type keeps its size as an array element
  AlByte = Byte;
  AlWord = Word;
  AlBasics = record
    b: AlByte;
    bytes: array[0..6] of AlByte;
    w: AlWord;
    words: array[0..2] of AlWord;
    c: AlByte;
  end;
  // an alias of a record with a Double keeps its alignment
  AlDouble = record
    d: Double;
  end;
  AlDoubleAlias = AlDouble;
  AlDoubleUser = record
    b: Byte;
    d: AlDoubleAlias;
  end;
