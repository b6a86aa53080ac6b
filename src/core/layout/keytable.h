#pragma once

#include <QString>

#include <array>

// One editable key of the typing block.
struct s_key {
    quint16 vk = 0;          // Windows virtual-key code
    QString key_type;        // "letter" or "sign"; set by the new-dialect .layout export
    int cell = 0;            // number of the key cell that shows the key (1 to 48), 0 for none
    QString scan_code;       // two lower-case hex digits, "29"
    QString vk_name;         // virtual-key name without "VK_", "OEM_3"
    QString caps;            // Caps Lock acts on the key only when this is exactly "1"
    QString norm_code;
    QString shift_code;
    QString norm_char;
    QString shift_char;
    QString altgr_code;
    QString altgr_shift_code;
    QString altgr_char;
    QString altgr_shift_char;
    QString ctrl_code;
    QString ctrl_shift_code;
    QString ctrl_char;
    QString ctrl_shift_char;
    QString spare1;          // the spare slots are kept only by the .ukb file
    QString spare2;
    QString spare3;

    bool operator==(const s_key &) const = default;
};

constexpr int KeyCount = 48;
constexpr int SpaceKey = 48;

using KeyTableArray = std::array<s_key, KeyCount>;

// The layout being edited; entry N-1 is key number N, in on-screen order.
extern KeyTableArray KeyTable;

// The six shift states, numbered as the editor passes them.
enum class ShiftState { Norm = 1, Shift, AltGr, AltGrShift, Ctrl, CtrlShift };
constexpr std::array<ShiftState, 6> AllShiftStates = {
    ShiftState::Norm, ShiftState::Shift, ShiftState::AltGr,
    ShiftState::AltGrShift, ShiftState::Ctrl, ShiftState::CtrlShift};
// The state's name in reports and status lines: "Norm", "Shift", "AltGr", "AltGr-Shift",
// "Ctrl", "Ctrl-Shift".
QString ShiftStateName(ShiftState state);

QString &CharOf(s_key &key, ShiftState state);
const QString &CharOf(const s_key &key, ShiftState state);
QString &CodeOf(s_key &key, ShiftState state);
const QString &CodeOf(const s_key &key, ShiftState state);

// Key number N (1 to 48) addresses entry N-1.
s_key &KeyByNumber(KeyTableArray &table, int number);
const s_key &KeyByNumber(const KeyTableArray &table, int number);

// vk 0, no cell, every text empty.
void ClearKeyTable(KeyTableArray &table);
// Identity of every key plus the space bar's extra values; run on a cleared table.
void LoadDefaults(KeyTableArray &table);
// The space bar's fixed values: identity, caps "0" and the codes "0020".
void SetSpaceBarFixedValues(s_key &spaceBar);

inline bool CapsSet(const s_key &key) { return key.caps == u"1"; }
