#include "keytexts.h"

#include "codetext.h"

QString TrimKeyText(const QString &text)
{
    const QStringView trimmed = TrimKeyText(QStringView(text));
    return trimmed.size() == text.size() ? text : trimmed.toString();
}

QStringView TrimKeyText(QStringView text)
{
    while (!text.isEmpty() && text.front().unicode() <= 0x20)
        text = text.sliced(1);
    while (!text.isEmpty() && text.back().unicode() <= 0x20)
        text.chop(1);
    return text;
}

std::optional<char32_t> KeyCodeValue(const QString &code)
{
    const QStringView digits = TrimKeyText(QStringView(code));
    if (digits.size() != 4)
        return std::nullopt;
    return HexValue(digits, 4);
}

QString ShownKeyText(const QString &stored)
{
    QString shown = stored;
    return shown.replace(QStringLiteral("&&"), QStringLiteral("&"));
}

CharacterPick PickCharacter(const QString &cellText)
{
    if (TrimKeyText(cellText).size() != 1)
        return {};
    // A key text "&" would be taken as a mnemonic marker wherever the key is shown.
    const QString character = cellText == u"&" ? QStringLiteral("&&") : cellText;
    const QString code = CodeText(cellText.at(0).unicode());
    return {character, code};
}
