type TMyList = class(TStringList) FItems: TList; FLock: TRTLCriticalSection; FHash: TStringHash; end;
