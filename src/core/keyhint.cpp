#include "keyhint.h"

namespace {

// printf's "%-Ns" and "%Ns": pad to the width, never cut a longer text.
QString LeftAligned(const QString &text, int width) { return text.leftJustified(width, u' '); }
QString RightAligned(const QString &text, int width) { return text.rightJustified(width, u' '); }

QString StateLine(const QString &code, const QString &character, const QString &tag)
{
    // "%5s %5s %14s "
    return RightAligned(code, 5) + u' ' + RightAligned(character, 5) + u' '
        + RightAligned(tag, 14) + u' ';
}

} // namespace

QString BuildKeyHint(const s_key &key)
{
    const QString lines[] = {
        QStringLiteral("VK_") + LeftAligned(key.vk_name, 5),
        QString(),
        QStringLiteral("Caps Lock (") + RightAligned(key.caps, 1) + u')',
        StateLine(key.shift_code, key.shift_char, QStringLiteral("S")),
        StateLine(key.norm_code, key.norm_char, QStringLiteral("N")),
        StateLine(key.altgr_shift_code, key.altgr_shift_char, QStringLiteral("A-S")),
        StateLine(key.altgr_code, key.altgr_char, QStringLiteral("A")),
        StateLine(key.ctrl_shift_code, key.ctrl_shift_char, QStringLiteral("C-S")),
        StateLine(key.ctrl_code, key.ctrl_char, QStringLiteral("C")),
    };
    QString hint;
    for (const QString &line : lines) {
        if (&line != &lines[0])
            hint += u"\n\r";
        hint += line;
    }
    return hint;
}
