type TR = record a: Byte; b: Integer; end;
