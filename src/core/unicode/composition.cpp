// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "composition.h"

#include "charnames.h"
#include "codetext.h"

#include <QList>

#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <optional>

namespace {

icu::UnicodeString ToIcu(const QString &text)
{
    return icu::UnicodeString(reinterpret_cast<const UChar *>(text.utf16()), int32_t(text.size()));
}

QString FromIcu(const icu::UnicodeString &text)
{
    return QString(reinterpret_cast<const QChar *>(text.getBuffer()), text.length());
}

bool IsMark(UChar32 code)
{
    return (U_GET_GC_MASK(code) & U_GC_M_MASK) != 0;
}

bool AllMarks(const QString &text)
{
    if (text.isEmpty())
        return false;
    const QList<uint> codes = text.toUcs4();
    return std::all_of(codes.begin(), codes.end(), [](uint code) { return IsMark(UChar32(code)); });
}

// Accents without a decomposition (^ ` ~ ˇ) share their name with their combining mark.
// Letters and digits are no accents, though a few have a combining twin (U+0363 for a).
QString MarkNamedLike(char32_t accent)
{
    if (U_GET_GC_MASK(UChar32(accent)) & (U_GC_LU_MASK | U_GC_LL_MASK | U_GC_LT_MASK | U_GC_LO_MASK | U_GC_N_MASK))
        return {};
    QString name = CharName(accent);
    if (name.isEmpty())
        return {};
    name.remove(QStringLiteral("MODIFIER LETTER "));
    const QByteArray markName = QByteArrayLiteral("COMBINING ") + name.toLatin1();
    UErrorCode error = U_ZERO_ERROR;
    const UChar32 mark = u_charFromName(U_UNICODE_CHAR_NAME, markName.constData(), &error);
    if (U_FAILURE(error) || !IsMark(mark))
        return {};
    return QString::fromUcs4(reinterpret_cast<const char32_t *>(&mark), 1);
}

} // namespace

QString CombiningMarksOf(const QString &accent)
{
    const std::optional<char32_t> code = SingleCodePoint(accent);
    if (!code)
        return {};
    UErrorCode error = U_ZERO_ERROR;
    const icu::Normalizer2 *nfkd = icu::Normalizer2::getNFKDInstance(error);
    if (U_FAILURE(error))
        return {};
    const QString decomposed = FromIcu(nfkd->normalize(ToIcu(accent), error));
    if (U_FAILURE(error))
        return {};
    if (AllMarks(decomposed))
        return decomposed;
    if (decomposed.startsWith(u' ') && AllMarks(decomposed.mid(1)))
        return decomposed.mid(1);
    return MarkNamedLike(*code);
}

QString ComposedCharacter(const QString &base, const QString &marks)
{
    if (!SingleCodePoint(base) || !AllMarks(marks))
        return {};
    UErrorCode error = U_ZERO_ERROR;
    const icu::Normalizer2 *nfc = icu::Normalizer2::getNFCInstance(error);
    if (U_FAILURE(error))
        return {};
    const QString composed = FromIcu(nfc->normalize(ToIcu(base + marks), error));
    if (U_FAILURE(error) || !SingleCodePoint(composed) || composed == base)
        return {};
    return composed;
}
