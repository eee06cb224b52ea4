// Interface-typed fields are 4-byte references.
type
  IIfPing = interface
    procedure Ping;
  end;
  IIfPong = interface(IIfPing)
    function Pong: Integer;
  end;

  IfRec = record
    b: Byte;
    ping: IIfPing;
    c: Byte;
    pong: IIfPong;
  end;
  // the system's own interface type
  IfUnknown = record
    b: Byte;
    u: IUnknown;
    c: Byte;
  end;
  IfClass = class
    FFlag: Byte;
    FPing: IIfPing;
    FCount: Integer;
  end;
