// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

#include <array>
#include <optional>

// One pair of a dead key's table: the character typed after the dead key, and what the
// two give together.
struct DeadPair {
    QString base;
    QString result;

    bool operator==(const DeadPair &) const = default;
};

// What makes a shift state a dead key. The state's code and character are the dead key's
// own: what it types when the space bar follows.
struct DeadKey {
    QString keysym;           // the XKB dead keysym the layout came with ("dead_acute"), or empty
    QList<DeadPair> pairs;    // in the order the user gave them

    bool operator==(const DeadKey &) const = default;
};

// One editable key of the typing block.
struct s_key {
    quint16 vk = 0;          // Windows virtual-key code
    QString key_type;        // "letter" or "sign"; set by the new-dialect .layout export
    int cell = 0;            // number of the key cell that shows the key (1 to 49), 0 for none
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
    // Dead keys, by shift state (Norm first). The .ukb file carries them in a spare slot.
    std::array<std::optional<DeadKey>, 6> dead;

    bool operator==(const s_key &) const = default;
};

constexpr int KeyCount = 48;          // the keys that every layout has, 1 to 48
constexpr int SpaceKey = 48;
constexpr int IsoKey = 49;            // the key left of Z (OEM_102), which ISO keyboards add
constexpr int TableKeyCount = 49;

using KeyTableArray = std::array<s_key, TableKeyCount>;

// The layout being edited; entry N-1 is key number N: the 48 keys in on-screen order, then
// the ISO key.
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

// Key number N (1 to 49) addresses entry N-1.
s_key &KeyByNumber(KeyTableArray &table, int number);
const s_key &KeyByNumber(const KeyTableArray &table, int number);

// vk 0, no cell, every text empty.
void ClearKeyTable(KeyTableArray &table);
// Identity of every key plus the space bar's extra values; run on a cleared table.
void LoadDefaults(KeyTableArray &table);
// The space bar's fixed values: identity, caps "0" and the codes "0020".
void SetSpaceBarFixedValues(s_key &spaceBar);

inline bool CapsSet(const s_key &key) { return key.caps == u"1"; }

const std::optional<DeadKey> &DeadOf(const s_key &key, ShiftState state);
std::optional<DeadKey> &DeadOf(s_key &key, ShiftState state);
bool HasDeadKeys(const s_key &key);
// Whether any key of the table, the ISO key included, has a dead key.
bool HasDeadKeys(const KeyTableArray &table);
// Whether the ISO key holds anything: a text in any slot, or a dead key.
bool IsoKeyUsed(const KeyTableArray &table);
// The keys the layout's files and pictures describe, numbered 1 to this: the 48, and the
// ISO key when it is used.
int UsedKeyCount(const KeyTableArray &table);
// Empties every slot of the key that a layout sets (caps, codes, characters, dead keys);
// its identity and spare slots stay.
void ClearKeyTexts(s_key &key);
