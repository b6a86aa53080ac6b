// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "deadpairs.h"

#include "codetext.h"
#include "composition.h"
#include "keytexts.h"

#include <QList>

#include <algorithm>

QStringList TypedCharacters(const KeyTableArray &table)
{
    QList<char32_t> codes;
    for (const s_key &key : table) {
        for (ShiftState state : AllShiftStates) {
            if (const std::optional<char32_t> code = SingleCodePoint(ShownKeyText(CharOf(key, state))))
                codes.append(*code);
        }
    }
    std::sort(codes.begin(), codes.end());
    codes.erase(std::unique(codes.begin(), codes.end()), codes.end());
    QStringList characters;
    characters.reserve(codes.size());
    for (char32_t code : codes)
        characters.append(QString::fromUcs4(&code, 1));
    return characters;
}

int AddUnicodeDeadPairs(DeadKey &dead, const QString &accent, const QStringList &bases)
{
    const QString marks = CombiningMarksOf(ShownKeyText(accent));
    if (marks.isEmpty())
        return 0;
    int added = 0;
    for (const QString &base : bases) {
        const bool known = std::any_of(dead.pairs.cbegin(), dead.pairs.cend(),
                                       [&](const DeadPair &pair) { return pair.base == base; });
        if (known)
            continue;
        const QString result = ComposedCharacter(base, marks);
        if (result.isEmpty())
            continue;
        dead.pairs.append({base, result});
        ++added;
    }
    return added;
}
