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

// "%5s %5s %14s "
void AppendStateLine(QString &out, const QString &code, const QString &character, const QString &tag)
{
    out += u"\n\r";
    AppendRightAligned(out, code, 5);
    out += u' ';
    AppendRightAligned(out, character, 5);
    out += u' ';
    AppendRightAligned(out, tag, 14);
    out += u' ';
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
    AppendStateLine(hint, key.shift_code, key.shift_char, S);
    AppendStateLine(hint, key.norm_code, key.norm_char, N);
    AppendStateLine(hint, key.altgr_shift_code, key.altgr_shift_char, AS);
    AppendStateLine(hint, key.altgr_code, key.altgr_char, A);
    AppendStateLine(hint, key.ctrl_shift_code, key.ctrl_shift_char, CS);
    AppendStateLine(hint, key.ctrl_code, key.ctrl_char, C);
    return hint;
}
