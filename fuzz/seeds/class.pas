type TP = packed record x: Word; s: String[20]; end;
  TC = class(TObject) a: array[0..3] of TP; end;
