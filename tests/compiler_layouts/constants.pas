// Constant expressions keep their value when they bound an array: 7 - 1 is 6
// and 22 - 1 is 21, whatever their digits read as without their spaces.
const
  CoSix = 7 - 1;
  CoTwentyOne = 22 - 1;
  CoViaOther = CoSix + 1;

type
  CoBytes = record
    a: array[0..CoSix] of Byte;
    b: Byte;
    c: array[0..CoTwentyOne] of Byte;
    d: Integer;
    e: array[1..CoViaOther] of Word;
    f: Byte;
  end;
