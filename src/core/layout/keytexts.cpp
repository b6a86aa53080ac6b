#include "keytexts.h"

#include "codetext.h"

QString TrimKeyText(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= 0x20)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 0x20)
        --end;
    return text.mid(begin, end - begin);
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
