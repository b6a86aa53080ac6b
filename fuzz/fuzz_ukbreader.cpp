// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for the .ukb reader and every writer. Any bytes must read the same
// however they arrive (in one piece, in the pieces the input chooses, from a file), apply
// and save without a fault; a layout that was read must save and read back to itself;
// and every export of it must keep its format: a KLC file of 156 lines, .layout files
// that a strict XML reader accepts in their declared encoding, XKB text in UTF-8.
//
// Input: the file's bytes, then optionally a trailer that cuts them into pieces. The last
// byte's low four bits give the number N of pieces; the 2*N bytes before it hold their
// sizes, little-endian, each taken modulo 8192 plus 1. The pieces repeat in turn until
// the file is handed out; with N = 0 the device gives all that is asked for.
#include "operationerror.h"
#include "keyhint.h"
#include "keytable.h"
#include "klcfile.h"
#include "layoutxml.h"
#include "ukbfile.h"
#include "xkbsymbols.h"

#include <QBuffer>
#include <QFile>
#include <QIODevice>
#include <QList>
#include <QStringDecoder>
#include <QXmlStreamReader>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <iconv.h>
#include <optional>
#include <sys/mman.h>
#include <unistd.h>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

KeyTableArray DefaultTable()
{
    KeyTableArray table;
    ClearKeyTable(table);
    LoadDefaults(table);
    return table;
}

// A sequential device, like a pipe, that hands out its bytes in the given sizes.
class PieceDevice : public QIODevice
{
public:
    PieceDevice(QByteArrayView bytes, QList<qint64> pieces)
        : m_bytes(bytes)
        , m_pieces(std::move(pieces))
    {
    }

    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        qint64 size = qMin(maxSize, qint64(m_bytes.size()));
        if (!m_pieces.isEmpty())
            size = qMin(size, m_pieces[m_next++ % m_pieces.size()]);
        std::copy_n(m_bytes.data(), size, data);
        m_bytes = m_bytes.sliced(size);
        return size;
    }

    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArrayView m_bytes;
    QList<qint64> m_pieces;
    qsizetype m_next = 0;
};

// What reading gave: the content, or nothing when the reader refused the input.
using Outcome = std::optional<UkbContent>;

bool Same(const Outcome &a, const Outcome &b)
{
    if (!a || !b)
        return !a && !b;
    return a->lines == b->lines && a->entries == b->entries;
}

Outcome ReadFrom(QIODevice &device)
{
    try {
        return ReadUkb(device, QStringLiteral("input"));
    } catch (const OperationError &) {
        return std::nullopt;
    }
}

Outcome ReadWhole(const QByteArray &bytes)
{
    QByteArray data = bytes;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    return ReadFrom(buffer);
}

// Unbuffered, so that every read the reader makes reaches readData and gets one piece.
Outcome ReadInPieces(QByteArrayView bytes, const QList<qint64> &pieces)
{
    PieceDevice device(bytes, pieces);
    device.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    return ReadFrom(device);
}

// The file-reading path, through a file in memory so that no run touches the disk.
Outcome ReadAsFile(QByteArrayView bytes)
{
    static const int fd = memfd_create("fuzz-ukb", 0);
    Check(fd >= 0);
    Check(ftruncate(fd, 0) == 0);
    for (qsizetype written = 0; written < bytes.size();) {
        const ssize_t n = pwrite(fd, bytes.data() + written, size_t(bytes.size() - written), off_t(written));
        Check(n > 0);
        written += n;
    }
    try {
        return ReadUkbFile(QStringLiteral("/proc/self/fd/%1").arg(fd));
    } catch (const OperationError &) {
        return std::nullopt;
    }
}

// Splits the input into the file and the sizes of its pieces.
QByteArrayView SplitPieces(QByteArrayView input, QList<qint64> &pieces)
{
    if (input.isEmpty())
        return input;
    const int count = static_cast<uchar>(input.back()) & 0x0F;
    if (input.size() < 1 + 2 * count)
        return input;
    const QByteArrayView sizes = input.sliced(input.size() - 1 - 2 * count, 2 * count);
    for (int i = 0; i < count; ++i) {
        const unsigned value = static_cast<uchar>(sizes[2 * i]) | static_cast<uchar>(sizes[2 * i + 1]) << 8;
        pieces.append(qint64(value % 8192 + 1));
    }
    return input.first(input.size() - 1 - 2 * count);
}

// Every byte must be defined by windows-1251 as a strict decoder (glibc's, which libxml2
// uses) sees it.
bool IsStrictWindows1251(const QByteArray &bytes)
{
    static const iconv_t converter = iconv_open("UTF-8", "WINDOWS-1251");
    Check(converter != iconv_t(-1));
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    char *in = const_cast<char *>(bytes.constData());
    size_t inLeft = size_t(bytes.size());
    QByteArray out(bytes.size() * 3 + 4, Qt::Uninitialized);
    char *outPointer = out.data();
    size_t outLeft = size_t(out.size());
    return iconv(converter, &in, &inLeft, &outPointer, &outLeft) != size_t(-1) && inLeft == 0;
}

// A .layout file: well-formed, 48 buttons, each character attribute one character.
void CheckLayout(const QByteArray &bytes, LayoutDialect dialect)
{
    Check(IsStrictWindows1251(bytes));
    const bool classic = dialect == LayoutDialect::Classic;
    const QLatin1StringView norm(classic ? "char" : "value");
    const QLatin1StringView shift(classic ? "shiftchar" : "shiftvalue");
    QXmlStreamReader reader(bytes);
    int buttons = 0;
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement || reader.name() != u"button")
            continue;
        ++buttons;
        Check(reader.attributes().value(norm).size() == 1);
        Check(reader.attributes().value(shift).size() == 1);
    }
    Check(!reader.hasError());
    Check(buttons == KeyCount);
}

// A KLC file: 156 lines and the header, key and fixed lines with their TABs only.
void CheckKlc(const QByteArray &bytes)
{
    Check(bytes.startsWith("\xFF\xFE") && bytes.size() % 2 == 0);
    const QString text = QString::fromUtf16(reinterpret_cast<const char16_t *>(bytes.constData() + 2),
                                            (bytes.size() - 2) / 2);
    Check(text.count(u'\r') == KlcLineCount && text.count(u'\n') == KlcLineCount);
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    Check(lines.size() == KlcLineCount + 1 && lines.last().isEmpty());
    Check(lines[0].count(u'\t') == 2 && lines[2].count(u'\t') == 1);
    for (int i = 0; i < KeyCount; ++i)
        Check(lines[KlcFirstKeyLine - 1 + i].count(u'\t') == 12);
    Check(lines[KlcLineCount - 1] == u"ENDKBD");
}

void RunWriters(KeyTableArray &table, const UkbContent &content)
{
    // The header texts come from the file, made fit for the header as the dialog does.
    KlcProperties properties;
    properties.description = BlankKlcHeaderText(content.lines.value(0));
    properties.company = BlankKlcHeaderText(content.lines.value(1));
    Check(IsValidKlcHeaderText(properties.description) && IsValidKlcHeaderText(properties.company));
    CheckKlc(KlcFileBytes(table, properties));

    CheckLayout(LayoutFileBytes(table, LayoutDialect::Classic), LayoutDialect::Classic);
    SetKeyTypes(table);
    CheckLayout(LayoutFileBytes(table, LayoutDialect::New), LayoutDialect::New);

    const QByteArray xkb = XkbSymbolsText(table, DefaultXkbLayoutName);
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString decoded = utf8.decode(xkb);
    Check(!utf8.hasError() && !decoded.isEmpty());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView input(reinterpret_cast<const char *>(data), qsizetype(size));
    QList<qint64> pieces;
    const QByteArrayView file = SplitPieces(input, pieces);
    const QByteArray bytes = QByteArray::fromRawData(file.data(), file.size());

    const Outcome whole = ReadWhole(bytes);
    Check(Same(ReadInPieces(file, pieces), whole));
    Check(Same(ReadAsFile(file), whole));
    if (!whole)
        return 0;
    const UkbContent &content = *whole;
    Check(content.lines.size() <= UkbLineCount);
    Check(content.entries.size() == content.lines.size());

    KeyTableArray table = DefaultTable();
    const QList<KeyHint> hints = ApplyUkb(table, content);
    Check(hints.size() == content.entries.size());
    for (const KeyHint &hint : hints)
        Check(hint.number >= 1 && hint.number <= KeyCount && !hint.hint.isEmpty());

    // Values read are trimmed and hold no TAB, line end or U+0000, so they survive a save.
    const QByteArray saved = UkbFileBytes(table);
    if (saved.size() / 2 <= MaxUkbTextLength) {
        const Outcome reread = ReadWhole(saved);
        Check(reread.has_value());
        KeyTableArray again = DefaultTable();
        ApplyUkb(again, *reread);
        Check(again == table);
    }

    RunWriters(table, content);
    return 0;
}
