// 游戏服务器主机中的对象与记录声明（示例）
const
  MAXBAGITEM    = 46;
  MAXMAGIC      = 20;
  ITEMNAMELEN   = 30;
  ITEMDESCLEN   = ITEMNAMELEN * 2 + 4;
  MAXSKILLLEVEL = MAXMAGIC div 5;
  MAXUSEITEM    = $0D;
  sDefaultMap   = 'Bichon{0}';   // 字符串中的大括号不是注释

type
  TJob = (jWarrior, jWizard, jTaoist);
  TAttackMode = (amAll, amPeace, amGroup, amGuild, amPK);
  TStatusFlags = set of (sfPoisoned, sfParalysed, sfHidden, sfFrozen, sfShielded);
  TLevelSet = set of 0..31;

  { 角色的基本能力值 }
  TAbility = packed record
    Level: Word;
    AC, MAC, DC, MC, SC: Word;
    HP, MP: Word;
    MaxHP, MaxMP: Word;
    Exp: LongWord;
    MaxExp: LongWord;
    Weight: Word;
    MaxWeight: Word;
  end;

  PStdItem = ^TStdItem;
  TStdItem = record
    Name: String[ITEMNAMELEN];
    Desc: array[0..ITEMDESCLEN - 1] of Char;
    StdMode: Byte;
    Shape: Byte;
    Weight: Byte;
    Source: Shortint;
    Looks: Word;
    DuraMax: Word;
    AC, MAC, DC, MC, SC: Word;
    NeedLevel: Byte;
    Price: Integer;
  end;

  PUserItem = ^TUserItem;
  TUserItem = record
    MakeIndex: Integer;
    wIndex: Word;
    Dura: Word;
    DuraMax: Word;
    btValue: array[0..13] of Byte;
  end;

  TMagicInfo = record
    wMagicId: Word;
    sMagicName: String[12];
    btEffectType: Byte;
    wSpell: Word;
    wPower, wMaxPower: Word;
    TrainLevel: array[0..3] of Byte;
    MaxTrain: array[0..3] of Integer;
    dwDelayTime: LongWord;
  end;

  TUserMagic = record
    MagicInfo: ^TMagicInfo;
    wMagIdx: Word;
    btLevel: Byte;
    btKey: Byte;
    nTranPoint: Integer;
  end;

  TGuild = class;

  TBaseObject = class
  private
    m_sCharName: String[ACTORNAMELEN];
    m_sMapName: String[MAPNAMELEN];
    m_nCurrX: Integer;
    m_nCurrY: Integer;
    m_btDirection: Byte;
    m_btJob: TJob;
    m_Abil: TAbility;
    m_WAbil: TAbility;
    m_StatusFlags: TStatusFlags;
    m_Target: TBaseObject;
    m_Master: TBaseObject;
    m_ItemList: TList;
    m_UseItems: array[0..MAXUSEITEM - 1] of TUserItem;
    m_BagItems: array of TUserItem;
    m_nGold: Integer;
    m_dwHealthTick: LongWord;
    m_MyGuild: TGuild;
    m_OnDie: TNotifyEvent;
  public
    constructor Create; virtual;
    destructor Destroy; override;
    procedure Run; virtual;
    function GetFeature(BaseObject: TBaseObject): Integer;
    property CharName: String read m_sCharName;
  end;

  TAnimalObject = class(TBaseObject)
    m_nNotProcessCount: Integer;
    m_TargetPos: TPoint;
    m_dwSearchTick: LongWord;
  end;

  TPlayObject = class(TAnimalObject)
  private
    m_sAccount: String[ACCOUNTLEN];
    m_sGuildName: String[GUILDNAMELEN];
    m_Magics: array[0..MAXMAGIC - 1] of TUserMagic;
    m_SkillLevels: array[0..MAXSKILLLEVEL - 1] of Byte;
    m_QuestFlags: array[0..127] of Byte;
    m_Rect: TRect;
    m_Lock: TRTLCriticalSection;
    m_pSaveBuf: PChar;
    m_nPayMent: Int64;
    m_boNewHuman: Boolean;
    m_LevelSet: TLevelSet;
    m_AttackMode: TAttackMode;
    m_Friends: TStringList;
    m_PathBuf: array[0..MAXPATHLEN - 1] of Char;
    m_pItem: PUserItem;
    m_dLogonTime: TDateTime;
  end;

  TGuildRank = record
    nRankNo: Integer;
    sRankName: String[30];
    MemberList: TStringList;
  end;

  TGuild = class
  private
    sGuildName: String[GUILDNAMELEN];
    RankList: array[0..9] of TGuildRank;
    m_nBuildPoint: Integer;
    m_boEnableAuthAlly: Boolean;
    m_dwSaveTick: LongWord;
  end;
