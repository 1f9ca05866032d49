#pragma once

#include <QtGlobal>
#include <array>

// The layout descriptor: every block number, offset, width and mask the codecs
// use, indexed by entry number. Both radio types share it except for a few
// entries (the button offsets and the power flag).
using Layout = std::array<quint16, 153>;

Layout layoutFor(int radioType);

// Entry numbers of the descriptor, by what they hold.
namespace Entry {
enum : int {
    ZoneBlock = 0,
    ZoneOffset = 1,
    ZoneExtraBlocks = 2,
    ZoneRecordLength = 3,
    ZoneTitle = 4,
    ZoneTitleLength = 5,
    ZoneMemberCount = 6,
    ZoneMembers = 7,
    ZoneMaxRecords = 8,

    MicVoxBlock = 20,
    MicGainLevel = 21,
    VoxSensitivity = 22,
    VoxHoldTime = 23,
    ButtonBlock = 24,
    LongPressDuration = 25,
    LongPressDurationEmgOff = 26,
    OrangeShort = 27, // 27 to 34: the eight button functions
    PurpleLong = 34,

    SettingsBlock = 35,
    RadioId = 36, // 36 to 47: the twelve one-byte basic settings
    UniqueRadioId = 37,
    SquelchNormal = 38,
    SquelchTight = 39,
    PreambleDuration = 40,
    DigitalVoiceLevel = 41,
    GroupCallHang = 42,
    PrivateCallHang = 43,
    AnalogHang = 44,
    DigitalHang = 45,
    RepeaterGroupHang = 46,
    RepeaterPrivateHang = 47,

    KeyBlock = 48,
    KeyCount = 49,
    KeyName = 50,
    KeyNameLength = 51,
    KeyValue = 52,
    KeyStride = 53,

    ContactCountBlock = 54,
    ContactCount = 55,
    ContactBlock = 56,
    ContactName = 57,
    ContactNameLength = 58,
    ContactType = 59,
    ContactNumber = 60,
    ContactTone = 61,
    ContactStride = 62,

    GroupDirBlock = 69,
    GroupCount = 70,
    GroupSlots = 71,
    GroupBlock = 72,
    GroupTitle = 73,
    GroupTitleLength = 74,
    GroupMemberCount = 75,
    GroupMembers = 76,
    GroupStride = 77,

    NameBlock = 78,
    NameBase = 80,
    NameLength = 81,
    RecordBlock = 82,
    RecordLength = 84,
    FreqWidth = 85,
    ToneWidth = 86,
    RecordBase = 87,
    SendFreq = 88,
    RecvFreq = 89,
    NarrowByte = 90,
    NarrowMask = 91,
    Band20Mask = 92,
    RefFreqByte = 93,
    RefFreqMask = 94,
    SquelchByte = 95,
    SquelchMask = 96,
    VoxByte = 97,
    VoxMask = 98,
    ToneTypeByte = 99,
    ToneTypeRcvMask = 100,
    ToneTypeTrasmMask = 101,
    RecvTone = 102,
    SendTone = 103,
    PowerByte = 105,
    PowerMask = 106,
    AnalogueByte = 107,
    AnalogueMask = 108,
    ColorCodePos = 110,
    AutoScanByte = 113,
    AutoScanMask = 114,
    RxOnlyByte = 115,
    RxOnlyMask = 116,
    EmergencySystem = 117,
    RxGroupPos = 118,
    ContactPos = 119,
    AlarmIndicationByte = 120,
    AlarmIndicationMask = 121,
    AlarmAckByte = 122,
    AlarmAckMask = 123,
    CallIndicationByte = 124,
    CallIndicationMask = 125,
    EncryptPos = 126,

    DirectoryBlock = 128,
    ChannelCount = 129,
    IndexTable = 130,

    GpsActivationByte = 132,
    GpsActivationMask = 133,
    GpsIndicationByte = 134,
    GpsIndicationMask = 135,
    GpsInterval = 136,
    ManDownActivationByte = 139,
    ManDownActivationMask = 140,
    ManDownTrigEntry = 141,
    ManDownTrigExit = 142,
    ManDownPrealert = 143,
    ManDownTriggerByte = 144,
    ManDownTriggerMask = 145,
    ManDownTiltByte = 146,
    ManDownTiltMask = 147,

    EmergencyBlock = 148,
    EmergencyTypeMode = 150,
    EmergencyChannel = 152,
};
} // namespace Entry
