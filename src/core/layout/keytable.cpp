// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "keytable.h"

#include <algorithm>

KeyTableArray KeyTable;

namespace {

struct DefaultKey {
    quint16 vk;
    const char16_t *scanCode;
    const char16_t *vkName;
};

// Standard Windows virtual-key codes and PC scan codes (set 1) of the typing block,
// in on-screen order; key 26 (OEM_5) ends the upper letter row. The ISO key comes last.
constexpr std::array<DefaultKey, TableKeyCount> DefaultKeys = {{
    {192, u"29", u"OEM_3"},  {49, u"02", u"1"},      {50, u"03", u"2"},
    {51, u"04", u"3"},       {52, u"05", u"4"},      {53, u"06", u"5"},
    {54, u"07", u"6"},       {55, u"08", u"7"},      {56, u"09", u"8"},
    {57, u"0a", u"9"},       {48, u"0b", u"0"},      {189, u"0c", u"OEM_MINUS"},
    {187, u"0d", u"OEM_PLUS"},
    {81, u"10", u"Q"},       {87, u"11", u"W"},      {69, u"12", u"E"},
    {82, u"13", u"R"},       {84, u"14", u"T"},      {89, u"15", u"Y"},
    {85, u"16", u"U"},       {73, u"17", u"I"},      {79, u"18", u"O"},
    {80, u"19", u"P"},       {219, u"1a", u"OEM_4"}, {221, u"1b", u"OEM_6"},
    {220, u"2b", u"OEM_5"},
    {65, u"1e", u"A"},       {83, u"1f", u"S"},      {68, u"20", u"D"},
    {70, u"21", u"F"},       {71, u"22", u"G"},      {72, u"23", u"H"},
    {74, u"24", u"J"},       {75, u"25", u"K"},      {76, u"26", u"L"},
    {186, u"27", u"OEM_1"},  {222, u"28", u"OEM_7"},
    {90, u"2c", u"Z"},       {88, u"2d", u"X"},      {67, u"2e", u"C"},
    {86, u"2f", u"V"},       {66, u"30", u"B"},      {78, u"31", u"N"},
    {77, u"32", u"M"},       {188, u"33", u"OEM_COMMA"}, {190, u"34", u"OEM_PERIOD"},
    {191, u"35", u"OEM_2"},
    {32, u"39", u"SPACE"},
    {226, u"56", u"OEM_102"},
}};

} // namespace

QString ShiftStateName(ShiftState state)
{
    switch (state) {
    case ShiftState::Norm: return QStringLiteral("Norm");
    case ShiftState::Shift: return QStringLiteral("Shift");
    case ShiftState::AltGr: return QStringLiteral("AltGr");
    case ShiftState::AltGrShift: return QStringLiteral("AltGr-Shift");
    case ShiftState::Ctrl: return QStringLiteral("Ctrl");
    case ShiftState::CtrlShift: return QStringLiteral("Ctrl-Shift");
    }
    Q_UNREACHABLE();
}

QString &CharOf(s_key &key, ShiftState state)
{
    return const_cast<QString &>(CharOf(std::as_const(key), state));
}

const QString &CharOf(const s_key &key, ShiftState state)
{
    switch (state) {
    case ShiftState::Norm: return key.norm_char;
    case ShiftState::Shift: return key.shift_char;
    case ShiftState::AltGr: return key.altgr_char;
    case ShiftState::AltGrShift: return key.altgr_shift_char;
    case ShiftState::Ctrl: return key.ctrl_char;
    case ShiftState::CtrlShift: return key.ctrl_shift_char;
    }
    Q_UNREACHABLE();
}

QString &CodeOf(s_key &key, ShiftState state)
{
    return const_cast<QString &>(CodeOf(std::as_const(key), state));
}

const QString &CodeOf(const s_key &key, ShiftState state)
{
    switch (state) {
    case ShiftState::Norm: return key.norm_code;
    case ShiftState::Shift: return key.shift_code;
    case ShiftState::AltGr: return key.altgr_code;
    case ShiftState::AltGrShift: return key.altgr_shift_code;
    case ShiftState::Ctrl: return key.ctrl_code;
    case ShiftState::CtrlShift: return key.ctrl_shift_code;
    }
    Q_UNREACHABLE();
}

s_key &KeyByNumber(KeyTableArray &table, int number)
{
    Q_ASSERT(number >= 1 && number <= TableKeyCount);
    return table[number - 1];
}

const s_key &KeyByNumber(const KeyTableArray &table, int number)
{
    Q_ASSERT(number >= 1 && number <= TableKeyCount);
    return table[number - 1];
}

void ClearKeyTable(KeyTableArray &table)
{
    table.fill(s_key{});
}

void LoadDefaults(KeyTableArray &table)
{
    for (int i = 0; i < TableKeyCount; ++i) {
        const DefaultKey &d = DefaultKeys[i];
        s_key &key = table[i];
        key.vk = d.vk;
        key.scan_code = QString::fromUtf16(d.scanCode);
        key.vk_name = QString::fromUtf16(d.vkName);
        key.cell = i + 1;
    }
    SetSpaceBarFixedValues(table[SpaceKey - 1]);
}

void SetSpaceBarFixedValues(s_key &spaceBar)
{
    const DefaultKey &d = DefaultKeys[SpaceKey - 1];
    spaceBar.vk = d.vk;
    spaceBar.scan_code = QString::fromUtf16(d.scanCode);
    spaceBar.vk_name = QString::fromUtf16(d.vkName);
    spaceBar.cell = SpaceKey;
    spaceBar.caps = QStringLiteral("0");
    spaceBar.norm_code = QStringLiteral("0020");
    spaceBar.shift_code = QStringLiteral("0020");
    spaceBar.ctrl_code = QStringLiteral("0020");
}

const std::optional<DeadKey> &DeadOf(const s_key &key, ShiftState state)
{
    return key.dead[int(state) - 1];
}

std::optional<DeadKey> &DeadOf(s_key &key, ShiftState state)
{
    return key.dead[int(state) - 1];
}

bool HasDeadKeys(const s_key &key)
{
    return std::any_of(key.dead.begin(), key.dead.end(), [](const auto &dead) { return dead.has_value(); });
}

bool HasDeadKeys(const KeyTableArray &table)
{
    return std::any_of(table.begin(), table.end(), [](const s_key &key) { return HasDeadKeys(key); });
}

bool IsoKeyUsed(const KeyTableArray &table)
{
    const s_key &key = KeyByNumber(table, IsoKey);
    if (!key.caps.isEmpty() || HasDeadKeys(key))
        return true;
    return std::any_of(AllShiftStates.begin(), AllShiftStates.end(), [&key](ShiftState state) {
        return !CodeOf(key, state).isEmpty() || !CharOf(key, state).isEmpty();
    });
}

int UsedKeyCount(const KeyTableArray &table)
{
    return IsoKeyUsed(table) ? IsoKey : KeyCount;
}

void ClearKeyTexts(s_key &key)
{
    key.caps.clear();
    for (ShiftState state : AllShiftStates) {
        CodeOf(key, state).clear();
        CharOf(key, state).clear();
    }
    key.dead = {};
}
