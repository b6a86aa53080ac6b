// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "keyhint.h"

namespace {

// printf's "%-Ns" and "%Ns": pad to the width with blanks, never cut a longer text.
void AppendLeftAligned(QString &out, const QString &text, int width)
{
    out += text;
    if (text.size() < width)
        out.append(QString(width - text.size(), u' '));
}

void AppendRightAligned(QString &out, const QString &text, int width)
{
    if (text.size() < width)
        out.append(QString(width - text.size(), u' '));
    out += text;
}

// "%5s %5s %14s ", and "dead key" after a dead state.
void AppendStateLine(QString &out, const s_key &key, ShiftState state, const QString &tag)
{
    out += u"\n\r";
    AppendRightAligned(out, CodeOf(key, state), 5);
    out += u' ';
    AppendRightAligned(out, CharOf(key, state), 5);
    out += u' ';
    AppendRightAligned(out, tag, 14);
    out += u' ';
    if (DeadOf(key, state))
        out += u"dead key";
}

// The table of a dead state: "N:  a→á  e→é", some pairs a line.
void AppendDeadTable(QString &out, const s_key &key, ShiftState state, const QString &tag)
{
    const std::optional<DeadKey> &dead = DeadOf(key, state);
    if (!dead || dead->pairs.isEmpty())
        return;
    constexpr int PairsPerLine = 10;
    for (qsizetype i = 0; i < dead->pairs.size(); ++i) {
        if (i % PairsPerLine == 0) {
            out += u"\n\r";
            AppendLeftAligned(out, i == 0 ? tag + u':' : QString(), 4);
        }
        out += u"  ";
        out += dead->pairs[i].base;
        out += u'\u2192';
        out += dead->pairs[i].result;
    }
}

} // namespace

QString BuildKeyHint(const s_key &key)
{
    static const QString S = QStringLiteral("S"), N = QStringLiteral("N"), AS = QStringLiteral("A-S"),
                         A = QStringLiteral("A"), CS = QStringLiteral("C-S"), C = QStringLiteral("C");
    QString hint;
    hint.reserve(220);
    hint += u"VK_";
    AppendLeftAligned(hint, key.vk_name, 5);
    hint += u"\n\r\n\rCaps Lock (";
    AppendRightAligned(hint, key.caps, 1);
    hint += u')';
    // The shifted state of each pair stands above its unshifted state.
    const std::pair<ShiftState, const QString &> lines[] = {
        {ShiftState::Shift, S}, {ShiftState::Norm, N}, {ShiftState::AltGrShift, AS},
        {ShiftState::AltGr, A}, {ShiftState::CtrlShift, CS}, {ShiftState::Ctrl, C}};
    for (const auto &[state, tag] : lines)
        AppendStateLine(hint, key, state, tag);
    for (const auto &[state, tag] : lines)
        AppendDeadTable(hint, key, state, tag);
    return hint;
}
