// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "codepage.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {

QStringDecoder &AnsiDecoder()
{
    static QStringDecoder decoder(AnsiCodePageName, QStringConverter::Flag::Stateless);
    Q_ASSERT(decoder.isValid());
    return decoder;
}

QStringEncoder &AnsiEncoder()
{
    static QStringEncoder encoder(AnsiCodePageName, QStringConverter::Flag::Stateless);
    Q_ASSERT(encoder.isValid());
    return encoder;
}

bool IsC1Control(QChar c)
{
    return c.unicode() >= 0x80 && c.unicode() <= 0x9F;
}

} // namespace

QString FromAnsi(QByteArrayView bytes)
{
    QStringDecoder &decoder = AnsiDecoder();
    QString text = decoder.decode(bytes);
    decoder.resetState();
    return text;
}

QChar AnsiByteToChar(uchar byte)
{
    const char c = static_cast<char>(byte);
    const QString text = FromAnsi(QByteArrayView(&c, 1));
    return text.size() == 1 ? text.at(0) : QChar(QChar::ReplacementCharacter);
}

QByteArray ToAnsi(QStringView text)
{
    QStringEncoder &encoder = AnsiEncoder();
    QByteArray bytes;
    bytes.reserve(text.size());
    // One code point at a time: the encoder marks what it cannot map with its own
    // substitute byte (0x1A), which must not reach a file that declares windows-1251.
    for (qsizetype i = 0; i < text.size();) {
        qsizetype length = 1;
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            length = 2;
        const QStringView point = text.sliced(i, length);
        i += length;
        if (point.size() == 1 && point[0].isSurrogate()) {
            bytes += '?';
            continue;
        }
        // windows-1251 has no C1 control characters: its bytes 0x80-0x9F are letters and
        // signs, except 0x98, which it leaves undefined. The codec passes that byte through
        // as U+0098, but strict readers of the declared encoding refuse the byte.
        if (IsC1Control(point[0])) {
            bytes += '?';
            continue;
        }
        const QByteArray encoded = encoder.encode(point);
        encoder.resetState();
        const bool substituted = encoded.size() != 1 || (encoded[0] == 0x1A && point[0] != u'\x1A');
        bytes += substituted ? '?' : encoded[0];
    }
    return bytes;
}
