// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ukbfile.h"

#include "codepage.h"
#include "atomicfile.h"
#include "operationerror.h"
#include "keyhint.h"
#include "keytexts.h"
#include "linebuffer.h"
#include "ukbextension.h"

#include <QFile>
#include <QIODevice>
#include <QStringDecoder>

#include <algorithm>
#include <utility>

namespace {

// The slots of s_key in the order of the fields of a line.
constexpr std::array<QString s_key::*, UkbFieldCount> FileSlots = {
    &s_key::caps,
    &s_key::norm_code, &s_key::norm_char,
    &s_key::shift_code, &s_key::shift_char,
    &s_key::altgr_code, &s_key::altgr_char,
    &s_key::altgr_shift_code, &s_key::altgr_shift_char,
    &s_key::ctrl_code, &s_key::ctrl_char,
    &s_key::ctrl_shift_code, &s_key::ctrl_shift_char,
    &s_key::spare1, &s_key::spare2, &s_key::spare3,
};

// Where the extension text goes: the first of them that is empty.
constexpr std::array<QString s_key::*, 3> SpareSlots = {&s_key::spare1, &s_key::spare2, &s_key::spare3};

const QString EmptyMarker = QStringLiteral("<>");

constexpr qsizetype ReadChunkSize = 8192;

// The value of one TAB-closed field: trimmed, and the marker means empty. Trimmed on the
// view, so the many markers of a file cost no copy.
QString FieldValue(QStringView text)
{
    const QStringView value = TrimKeyText(text);
    return value == EmptyMarker ? QString() : value.toString();
}

// The 16 values of one line. A line with fewer TAB-closed fields leaves the rest of its
// values empty (not, as a reader with one shared field buffer would, the values of the
// line before); text after the last TAB is dropped, not carried into the next line; TABs
// after the 16th are ignored.
UkbFields SplitLine(QStringView line)
{
    UkbFields fields;
    int field = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i < line.size() && field < UkbFieldCount; ++i) {
        if (line[i] == u'\t') {
            fields[field++] = FieldValue(line.sliced(start, i - start));
            start = i + 1;
        }
    }
    return fields;
}

// Cuts decoded text into lines. Only CR LF, a lone CR and a lone LF end a line: U+2028
// is an ordinary character, since a key can hold it and a save writes it inside its line.
class LineSplitter
{
public:
    LineSplitter()
    {
        m_content.lines.reserve(UkbLineCount);
        m_content.entries.reserve(UkbLineCount);
    }

    // Takes the next piece of text; false once the text has ended, so no more is needed.
    bool feed(QStringView text)
    {
        qsizetype i = 0;
        while (i < text.size() && !m_ended) {
            const char16_t c = text[i].unicode();
            if (m_afterCr) {
                m_afterCr = false;
                if (c == u'\n') {
                    ++i;  // the LF of a CR LF
                    continue;
                }
            }
            if (c == u'\0') {
                finish();
                break;
            }
            if (m_length == MaxUkbTextLength) {
                // More text before the 48th line ends: no layout is that large.
                m_tooLarge = true;
                m_ended = true;
                break;
            }
            if (c == u'\r' || c == u'\n') {
                ++m_length;
                ++i;
                m_afterCr = c == u'\r';
                endLine();
                continue;
            }
            // A run of ordinary characters, U+2028 among them.
            const qsizetype limit = qMin(text.size(), i + (MaxUkbTextLength - m_length));
            qsizetype end = i + 1;
            while (end < limit && !EndsText(text[end].unicode()))
                ++end;
            m_line += text.sliced(i, end - i);
            m_length += end - i;
            i = end;
        }
        return !m_ended;
    }

    // The end of the text. A line break at the very end opens no further line; text after
    // the last break is a line of its own.
    void finish()
    {
        if (!m_ended && !m_line.isEmpty())
            endLine();
        m_ended = true;
    }

    // Whether the text passed MaxUkbTextLength before it ended.
    bool tooLarge() const { return m_tooLarge; }

    UkbContent take() { return std::move(m_content); }

private:
    static bool EndsText(char16_t c) { return c == u'\r' || c == u'\n' || c == u'\0'; }

    void endLine()
    {
        m_content.entries.append(SplitLine(m_line));
        m_content.lines.append(std::move(m_line));
        m_line = QString();
        // Lines after the 48th have no entry to go to; they are not read.
        if (m_content.lines.size() == UkbLineCount)
            m_ended = true;
    }

    UkbContent m_content;
    QString m_line;
    qsizetype m_length = 0;
    bool m_afterCr = false;
    bool m_ended = false;
    bool m_tooLarge = false;
};

enum class Encoding { Utf16Le, Utf16Be, Utf8, Ansi };

// Decodes the bytes after the mark, piece by piece as they are read.
class Decoder
{
public:
    explicit Decoder(Encoding encoding)
        : m_encoding(encoding)
    {
        // The mark was taken off already, so a U+FEFF that follows it is text: the decoder
        // must not drop it as a mark of its own.
        if (encoding == Encoding::Utf8)
            m_utf8 = QStringDecoder(QStringDecoder::Utf8, QStringConverter::Flag::Stateless
                                                              | QStringConverter::Flag::ConvertInitialBom);
    }

    QString decode(QByteArrayView bytes)
    {
        switch (m_encoding) {
        case Encoding::Utf16Le:
        case Encoding::Utf16Be:
            return decodeUtf16(bytes);
        case Encoding::Utf8:
            return decodeUtf8(bytes);
        case Encoding::Ansi:
            // One byte per character, so pieces can be decoded one by one.
            return FromAnsi(bytes);
        }
        Q_UNREACHABLE();
    }

    // What the end of the file adds: a UTF-8 sequence cut off by the end gives U+FFFD; an
    // odd trailing byte of UTF-16 is dropped.
    QString finish()
    {
        if (m_encoding == Encoding::Utf8)
            return m_utf8.decode(std::exchange(m_utf8Tail, QByteArray()));
        return QString();
    }

private:
    // Each piece is decoded on its own, up to a sequence that the next piece could still
    // complete; that tail waits for the next piece. Splitting only where a sequence starts
    // makes the text, U+FFFD for every invalid byte included, the same however the file
    // comes in.
    QString decodeUtf8(QByteArrayView bytes)
    {
        m_utf8Tail += bytes;
        const qsizetype whole = WholeUtf8Length(m_utf8Tail);
        const QString text = m_utf8.decode(QByteArrayView(m_utf8Tail).first(whole));
        m_utf8Tail.remove(0, whole);
        return text;
    }

    // The length up to the start of a sequence at the end that is shorter than its first
    // byte announces.
    static qsizetype WholeUtf8Length(QByteArrayView bytes)
    {
        const qsizetype size = bytes.size();
        for (qsizetype back = 1; back <= qMin<qsizetype>(3, size); ++back) {
            const uchar byte = static_cast<uchar>(bytes[size - back]);
            if ((byte & 0xC0) == 0x80)
                continue;  // a continuation byte
            const int length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
            return length > back ? size - back : size;
        }
        return size;
    }

    // Units are taken as they are, lone surrogates included.
    QString decodeUtf16(QByteArrayView bytes)
    {
        const bool littleEndian = m_encoding == Encoding::Utf16Le;
        const auto unit = [littleEndian](char first, char second) {
            const auto a = static_cast<uchar>(first);
            const auto b = static_cast<uchar>(second);
            return littleEndian ? char16_t(a | b << 8) : char16_t(a << 8 | b);
        };
        QString text((bytes.size() + (m_hasPendingByte ? 1 : 0)) / 2, Qt::Uninitialized);
        char16_t *out = reinterpret_cast<char16_t *>(text.data());
        qsizetype i = 0;
        if (m_hasPendingByte && !bytes.isEmpty()) {
            *out++ = unit(m_pendingByte, bytes[0]);
            m_hasPendingByte = false;
            i = 1;
        }
        for (; i + 1 < bytes.size(); i += 2)
            *out++ = unit(bytes[i], bytes[i + 1]);
        if (i < bytes.size()) {
            m_pendingByte = bytes[i];
            m_hasPendingByte = true;
        }
        return text;
    }

    Encoding m_encoding;
    QStringDecoder m_utf8;
    QByteArray m_utf8Tail;
    char m_pendingByte = 0;
    bool m_hasPendingByte = false;
};

// Appends up to ReadChunkSize bytes; false at the end of the device. A read error is no
// end: taken for one, it would load a layout cut short as if it were whole.
bool ReadMore(QIODevice &device, QByteArray &buffer, const QString &name)
{
    const qsizetype old = buffer.size();
    buffer.resize(old + ReadChunkSize);
    const qint64 got = device.read(buffer.data() + old, ReadChunkSize);
    if (got < 0)
        throw CannotOpenFile(name);
    buffer.resize(old + got);
    return got > 0;
}

OperationError TooLarge(const QString &name)
{
    return OperationError(QStringLiteral("Cannot open file %1: more than %2 characters, too large for a layout")
                              .arg(name)
                              .arg(MaxUkbTextLength));
}

} // namespace

QStringList UkbLines(const KeyTableArray &table)
{
    QStringList lines;
    lines.reserve(KeyCount);
    for (int number = 1; number <= KeyCount; ++number) {
        s_key key = KeyByNumber(table, number);
        const QString extension = UkbExtensionText(table, number);
        if (!extension.isEmpty()) {
            const auto free = std::find_if(SpareSlots.begin(), SpareSlots.end(),
                                           [&key](QString s_key::*slot) { return (key.*slot).isEmpty(); });
            if (free == SpareSlots.end())
                throw OperationError(QStringLiteral("Key %1 has no free spare slot for its dead keys").arg(number));
            key.*(*free) = extension;
        }
        QString line;
        for (QString s_key::*slot : FileSlots) {
            const QString &value = key.*slot;
            line += value.isEmpty() ? EmptyMarker : value;
            line += u'\t';
        }
        lines.append(line);
    }
    return lines;
}

QByteArray UkbFileBytes(const KeyTableArray &table)
{
    return Utf16LeFileBytes(UkbLines(table));
}

void SaveUkbFile(const KeyTableArray &table, const QString &path)
{
    WriteFileAtomically(path, UkbFileBytes(table), WriteFailure::CannotCreate);
}

UkbContent ReadUkb(QIODevice &device, const QString &name)
{
    // The first three bytes decide the encoding.
    QByteArray bytes;
    bool more = true;
    while (bytes.size() < 3 && more)
        more = ReadMore(device, bytes, name);

    Encoding encoding = Encoding::Ansi;
    qsizetype markLength = 0;
    if (bytes.startsWith("\xFF\xFE")) {
        encoding = Encoding::Utf16Le;
        markLength = 2;
    } else if (bytes.startsWith("\xFE\xFF")) {
        encoding = Encoding::Utf16Be;
        markLength = 2;
    } else if (bytes.startsWith("\xEF\xBB\xBF")) {
        encoding = Encoding::Utf8;
        markLength = 3;
    }

    Decoder decoder(encoding);
    LineSplitter splitter;
    bool wanted = splitter.feed(decoder.decode(QByteArrayView(bytes).sliced(markLength)));
    while (wanted && more) {
        bytes.clear();
        more = ReadMore(device, bytes, name);
        wanted = splitter.feed(decoder.decode(bytes));
    }
    if (wanted)
        splitter.feed(decoder.finish());
    if (splitter.tooLarge())
        throw TooLarge(name);
    splitter.finish();
    return splitter.take();
}

UkbContent ReadUkbFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw CannotOpenFile(path);
    UkbContent content = ReadUkb(file, path);
    if (file.error() != QFileDevice::NoError)
        throw CannotOpenFile(path);
    return content;
}

QList<KeyHint> ApplyUkb(KeyTableArray &table, const UkbContent &content)
{
    QList<KeyHint> hints;
    const qsizetype lines = qMin<qsizetype>(content.entries.size(), UkbLineCount);
    for (qsizetype i = 0; i < lines; ++i) {
        const int number = int(i) + 1;
        s_key &key = table[i];
        const UkbFields &fields = content.entries[i];
        for (int field = 0; field < UkbFieldCount; ++field)
            key.*FileSlots[field] = fields[field];
        key.dead = {};
        if (number == SpaceKey)
            ClearKeyTexts(KeyByNumber(table, IsoKey));
        // The first slot that holds Tavo's extension gives it; any other text is kept as held.
        for (QString s_key::*slot : SpareSlots) {
            if (ApplyUkbExtensionText(key.*slot, table, number)) {
                (key.*slot).clear();
                break;
            }
        }
        hints.append({number, BuildKeyHint(key)});
    }
    SetSpaceBarFixedValues(KeyByNumber(table, SpaceKey));
    return hints;
}
