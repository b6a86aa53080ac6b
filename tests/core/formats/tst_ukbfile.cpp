// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "goldenfile.h"
#include "keyhint.h"
#include "keytable.h"
#include "testhelpers.h"
#include "testlayouts.h"
#include "testregistry.h"
#include "ukbfile.h"

#include "descriptordevice.h"

#include <QBuffer>
#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <functional>
#include <thread>
#include <unistd.h>

namespace {

const QString DataDir = QStringLiteral(TAVO_TEST_DATA "/ukb/");

// The golden .ukb file of the Russian sample; DataDir holds the same layout in the other
// encodings and line ends the reader takes (make-fixtures.py).
const QString RussianUkb = GoldenFilePath(QStringLiteral("russian.ukb"));

// A lone surrogate cannot be written as a literal.
QString Unit(char16_t unit) { return QString(QChar(unit)); }

QByteArray Utf16Le(const QString &text)
{
    return QByteArray("\xFF\xFE") + Utf16LeUnits(text);
}

QByteArray Utf16Be(const QString &text)
{
    QByteArray bytes("\xFE\xFF");
    for (QChar c : text) {
        bytes += char(c.unicode() >> 8);
        bytes += char(c.unicode() & 0xFF);
    }
    return bytes;
}

UkbContent ReadBytes(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return ReadUkb(buffer, QStringLiteral("buffer"));
}

// Hands out its bytes one at a time, so every split of a mark, a code unit, a UTF-8
// sequence and a CR LF between two reads is met.
class TrickleDevice : public QIODevice
{
public:
    explicit TrickleDevice(QByteArray bytes) : m_bytes(std::move(bytes)) { open(ReadOnly | Unbuffered); }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        if (m_position == m_bytes.size() || maxSize == 0)
            return 0;
        *data = m_bytes[m_position++];
        return 1;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_bytes;
    qsizetype m_position = 0;
};

// An endless stream that counts what was taken from it.
class EndlessDevice : public QIODevice
{
public:
    explicit EndlessDevice(std::function<char(quint64)> byteAt) : m_byteAt(std::move(byteAt)) { open(ReadOnly | Unbuffered); }
    bool isSequential() const override { return true; }
    quint64 bytesTaken() const { return m_taken; }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        for (qint64 i = 0; i < maxSize; ++i)
            data[i] = m_byteAt(m_taken++);
        return maxSize;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    std::function<char(quint64)> m_byteAt;
    quint64 m_taken = 0;
};

// The values of every read line joined by "|", trailing empty values left off.
QStringList Describe(const UkbContent &content)
{
    QStringList described;
    for (const UkbFields &fields : content.entries) {
        QStringList values(fields.begin(), fields.end());
        while (!values.isEmpty() && values.back().isEmpty())
            values.removeLast();
        described << values.join(u'|');
    }
    return described;
}

// Sixteen fields f1 .. f16 and more, TAB-closed.
QString Fields(int count, const QString &prefix = QStringLiteral("f"))
{
    QString line;
    for (int i = 1; i <= count; ++i)
        line += prefix + QString::number(i) + u'\t';
    return line;
}

QStringList FieldValues(int count, const QString &prefix = QStringLiteral("f"))
{
    QStringList values;
    for (int i = 1; i <= count; ++i)
        values << prefix + QString::number(i);
    return values;
}

void SetEverySlot(s_key &key, int number)
{
    QString *values[] = {&key.caps, &key.norm_code, &key.norm_char, &key.shift_code, &key.shift_char,
                        &key.altgr_code, &key.altgr_char, &key.altgr_shift_code, &key.altgr_shift_char,
                        &key.ctrl_code, &key.ctrl_char, &key.ctrl_shift_code, &key.ctrl_shift_char,
                        &key.spare1, &key.spare2, &key.spare3};
    int field = 0;
    for (QString *slot : values)
        *slot = QStringLiteral("k%1s%2").arg(number).arg(++field);
}

} // namespace

class TestUkbFile : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // ---- Writing

    void writesDefaultLayout()
    {
        const QByteArray bytes = UkbFileBytes(DefaultTable());
        QCOMPARE(bytes.size(), 4812);
        QVERIFY(bytes.startsWith(QByteArray::fromHex("FFFE3C003E0009003C003E000900")));
        QVERIFY(bytes.endsWith(QByteArray::fromHex("3C003E0009000D000A00")));
    }

    void linesInFileOrder()
    {
        KeyTableArray table = DefaultTable();
        SetEverySlot(KeyByNumber(table, 7), 7);
        const QStringList lines = UkbLines(table);
        QCOMPARE(lines.size(), 48);
        QCOMPARE(lines[6], Fields(16, QStringLiteral("k7s")));
        QCOMPARE(lines[0], QStringLiteral("<>\t").repeated(16));
    }

    void writesUnitsAsHeld()
    {
        KeyTableArray table = DefaultTable();
        KeyByNumber(table, 1).norm_char = Unit(0xD800);
        KeyByNumber(table, 1).shift_char = QStringLiteral("\u2028");
        const QByteArray bytes = UkbFileBytes(table);
        QCOMPARE(bytes.mid(2, 26), QByteArray::fromHex("3C003E000900" "3C003E000900" "00D80900" "3C003E000900" "28200900"));
    }

    // ---- Reading the stored layout in every form

    void readsEveryEncoding_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("UTF-16LE with mark") << RussianUkb;
        QTest::newRow("UTF-16BE with mark") << DataDir + "sample-utf16be.ukb";
        QTest::newRow("UTF-8 with mark") << DataDir + "sample-utf8.ukb";
        QTest::newRow("windows-1251 without mark") << DataDir + "sample-ansi.ukb";
        QTest::newRow("LF line ends") << DataDir + "sample-lf.ukb";
        QTest::newRow("CR line ends") << DataDir + "sample-cr.ukb";
    }

    void readsEveryEncoding()
    {
        QFETCH(QString, file);
        const UkbContent content = ReadUkbFile(file);
        QCOMPARE(content.lines.size(), 48);
        QCOMPARE(content.lines, UkbLines(RussianLayout()));

        KeyTableArray table = DefaultTable();
        ApplyUkb(table, content);
        QVERIFY(table == RussianLayout());

        // Read in pieces of one byte, it is the same.
        TrickleDevice trickle(ReadAll(file));
        const UkbContent trickled = ReadUkb(trickle, QStringLiteral("trickle"));
        QCOMPARE(trickled.lines, content.lines);
        QVERIFY(trickled.entries == content.entries);
    }

    void roundTripKeepsEverySlot()
    {
        KeyTableArray saved = DefaultTable();
        for (int number = 1; number <= KeyCount; ++number)
            SetEverySlot(KeyByNumber(saved, number), number);
        s_key &key = KeyByNumber(saved, 3);
        key.norm_char = QStringLiteral("\u2028");
        key.shift_char = QStringLiteral("&&");
        key.altgr_char = Unit(0xD83D);             // a high surrogate alone
        key.altgr_shift_char = Unit(0xDE00);       // a low surrogate alone
        key.ctrl_char = QStringLiteral("\U0001F600");
        key.ctrl_shift_char = QStringLiteral("\uFEFF");
        key.spare1 = QStringLiteral("a b");
        key.spare2 = QStringLiteral("<<>>");
        key.spare3 = QStringLiteral("x\u2028y");

        KeyTableArray expected = saved;
        // The three exceptions: trimmed values, the marker itself, the space bar's fixed values.
        KeyByNumber(saved, 4).norm_char = QStringLiteral("  z ");
        KeyByNumber(expected, 4).norm_char = QStringLiteral("z");
        KeyByNumber(saved, 4).shift_char = QStringLiteral("   ");
        KeyByNumber(expected, 4).shift_char.clear();
        KeyByNumber(saved, 4).spare1 = QStringLiteral("<>");
        KeyByNumber(expected, 4).spare1.clear();
        SetSpaceBarFixedValues(KeyByNumber(expected, 48));

        const UkbContent content = ReadBytes(UkbFileBytes(saved));
        QCOMPARE(content.entries.size(), 48);
        KeyTableArray loaded = DefaultTable();
        ApplyUkb(loaded, content);
        for (int i = 0; i < KeyCount; ++i)
            QVERIFY2(loaded[i] == expected[i], qPrintable(QStringLiteral("key %1").arg(i + 1)));
    }

    // ---- Reading: line ends, fields and the choices for malformed lines

    void reads_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("entries");
        const auto le = [](const QString &text) { return Utf16Le(text); };

        QTest::newRow("empty file") << QByteArray() << QStringList();
        QTest::newRow("only a UTF-16LE mark") << QByteArray("\xFF\xFE") << QStringList();
        QTest::newRow("only a UTF-16BE mark") << QByteArray("\xFE\xFF") << QStringList();
        QTest::newRow("only a UTF-8 mark") << QByteArray("\xEF\xBB\xBF") << QStringList();
        QTest::newRow("one line") << le("a\tb\t\r\n") << QStringList{"a|b"};
        QTest::newRow("no break after the last line") << le("a\t\r\nb\t") << QStringList{"a", "b"};
        QTest::newRow("a line without TAB has no values") << le("abc\r\n") << QStringList{""};
        QTest::newRow("empty lines count") << le("\r\n\r\na\t\r\n") << QStringList{"", "", "a"};
        QTest::newRow("LF alone") << le("a\t\nb\t\n") << QStringList{"a", "b"};
        QTest::newRow("CR alone") << le("a\t\rb\t\r") << QStringList{"a", "b"};
        QTest::newRow("LF CR is two breaks") << le("a\t\n\rb\t") << QStringList{"a", "", "b"};
        QTest::newRow("CR CR is two breaks") << le("a\t\r\rb\t") << QStringList{"a", "", "b"};
        QTest::newRow("U+2028 is an ordinary character")
            << le("a\u2028b\t\u2028\tc\t\r\nd\t") << QStringList{"a\u2028b|\u2028|c", "d"};
        QTest::newRow("U+2029 and NEL are ordinary too")
            << le("\u2029\t\u0085\t\r\n") << QStringList{"\u2029|\u0085"};
        QTest::newRow("fewer fields leave the rest empty")
            << le("a\tb\tc\t\r\nx\t\r\n") << QStringList{"a|b|c", "x"};
        QTest::newRow("text after the last TAB is dropped")
            << le("a\tb\tjunk\r\nc\t\r\n") << QStringList{"a|b", "c"};
        QTest::newRow("fields after the 16th are ignored")
            << le(Fields(20) + "\r\n" + Fields(2, "g")) << QStringList{FieldValues(16).join(u'|'), "g1|g2"};
        QTest::newRow("U+0000 ends the text") << le(QStringLiteral("a\t\r\nb\t") + QChar(0) + "c\t\r\n")
                                               << QStringList{"a", "b"};
        QTest::newRow("U+0000 first") << le(QString(QChar(0)) + "a\t") << QStringList();
        QTest::newRow("U+0000 right after a break") << le(QStringLiteral("a\t\r\n") + QChar(0))
                                                     << QStringList{"a"};

        QTest::newRow("marker is empty") << le("<>\tx\t") << QStringList{"|x"};
        QTest::newRow("marker with blanks is empty") << le(" <> \t\x01<>\x1f\tx\t") << QStringList{"||x"};
        QTest::newRow("nothing is empty") << le("\t\tx\t") << QStringList{"||x"};
        QTest::newRow("blanks only are empty, DEL is no blank") << le("   \t\x7f\t") << QStringList{"|\x7f"};
        QTest::newRow("blanks around a value are dropped") << le(" x \t\x01y\x20\x1f\t") << QStringList{"x|y"};
        QTest::newRow("inner blanks stay") << le("a  b\t") << QStringList{"a  b"};
        QTest::newRow("other markers are text")
            << le("<<>>\t<>x\t< >\t<\t") << QStringList{"<<>>|<>x|< >|<"};
        QTest::newRow("NBSP is not trimmed") << le("\u00a0\t") << QStringList{"\u00a0"};

        QTest::newRow("UTF-16LE second mark is text") << QByteArray::fromHex("FFFEFFFE61000900")
                                                      << QStringList{QStringLiteral("\uFEFFa")};
        QTest::newRow("UTF-16BE") << Utf16Be("\u0439\t\u2028\t") << QStringList{"\u0439|\u2028"};
        QTest::newRow("UTF-16BE second mark is text") << QByteArray::fromHex("FEFFFEFF00610009")
                                                      << QStringList{QStringLiteral("\uFEFFa")};
        QTest::newRow("UTF-16LE odd trailing byte ignored") << QByteArray::fromHex("FFFE6100090062")
                                                            << QStringList{"a"};
        QTest::newRow("UTF-16BE odd trailing byte ignored") << QByteArray::fromHex("FEFF0061000900")
                                                            << QStringList{"a"};
        QTest::newRow("UTF-16 lone surrogate kept") << QByteArray::fromHex("FFFE00D8090000DC0900")
                                                    << QStringList{Unit(0xD800) + u'|' + Unit(0xDC00)};
        QTest::newRow("UTF-8") << QByteArray("\xEF\xBB\xBF\xD0\xB9\t\xE2\x80\xA8\t\xF0\x9F\x98\x80\t")
                               << QStringList{"\u0439|\u2028|\U0001F600"};
        QTest::newRow("UTF-8 second mark is text") << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF" "a\t")
                                                   << QStringList{QStringLiteral("\uFEFFa")};
        QTest::newRow("UTF-8 invalid byte") << QByteArray("\xEF\xBB\xBF" "a\xFF" "b\t")
                                            << QStringList{"a\uFFFDb"};
        QTest::newRow("UTF-8 cut sequence before TAB") << QByteArray("\xEF\xBB\xBF" "a\xE2\x82\t")
                                                       << QStringList{"a\uFFFD\uFFFD"};
        QTest::newRow("UTF-8 overlong and stray bytes") << QByteArray("\xEF\xBB\xBF\xC0\xAF\xE0\x80\xBF\x80" "a\t")
                                                        << QStringList{QString(6, QChar(0xFFFD)) + u'a'};
        QTest::newRow("windows-1251") << QByteArray("\xE9\t\xA8\t\x88\t\r\n") << QStringList{"\u0439|\u0401|\u20AC"};
        QTest::newRow("half a UTF-8 mark is windows-1251") << QByteArray("\xEF\xBB" "a\t")
                                                           << QStringList{"\u043F\u00BBa"};
        QTest::newRow("FF alone is windows-1251") << QByteArray("\xFF" "a\t") << QStringList{"\u044Fa"};
        QTest::newRow("a lone FE is windows-1251") << QByteArray("\xFE") << QStringList{""};
        QTest::newRow("windows-1251 zero byte ends the text") << QByteArray("a\t\0b\t", 5) << QStringList{"a"};

        QStringList fortyEight;
        QString fifty;
        for (int line = 1; line <= 50; ++line) {
            fifty += QStringLiteral("L%1\t\r\n").arg(line);
            if (line <= 48)
                fortyEight << QStringLiteral("L%1").arg(line);
        }
        QTest::newRow("lines after the 48th are ignored") << le(fifty) << fortyEight;
    }

    void reads()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, entries);
        const UkbContent content = ReadBytes(bytes);
        QCOMPARE(Describe(content), entries);
        QCOMPARE(content.lines.size(), content.entries.size());

        TrickleDevice trickle(bytes);
        const UkbContent trickled = ReadUkb(trickle, QStringLiteral("trickle"));
        QCOMPARE(trickled.lines, content.lines);
        QVERIFY(trickled.entries == content.entries);
    }

    void keepsLinesAsRead()
    {
        const UkbContent content = ReadBytes(Utf16Le(QStringLiteral(" <> \tb\tc\r\n\r\n") + Fields(17)));
        QCOMPARE(content.lines, (QStringList{" <> \tb\tc", "", Fields(17)}));
        const UkbContent cut = ReadBytes(QByteArray("\xEF\xBB\xBF" "a\t\n\xE2\x82"));
        QCOMPARE(cut.lines, (QStringList{"a\t", "\uFFFD\uFFFD"}));
    }

    // ---- Bounded reading

    void stopsEarlyOnEndlessInput_data()
    {
        QTest::addColumn<int>("pattern");
        QTest::addColumn<quint64>("maxBytes");
        QTest::newRow("garbage without zero bytes") << 0 << quint64(256 * 1024);
        QTest::newRow("lines of a layout") << 1 << quint64(64 * 1024);
    }

    void stopsEarlyOnEndlessInput()
    {
        QFETCH(int, pattern);
        QFETCH(quint64, maxBytes);
        QRandomGenerator random(4);
        const QByteArray layoutLine = "x\ty\t\r\n";
        EndlessDevice device([&](quint64 i) -> char {
            return pattern == 0 ? char(random.bounded(1, 256)) : layoutLine[i % layoutLine.size()];
        });
        const UkbContent content = ReadUkb(device, QStringLiteral("endless"));
        QCOMPARE(content.lines.size(), 48);
        QVERIFY2(device.bytesTaken() <= maxBytes, qPrintable(QString::number(device.bytesTaken())));
    }

    // Text that passes the limit before the 48th line ends is refused, never cut: a cut
    // would load the keys before it and silently drop the rest.
    void refusesTextPastTheLimit_data()
    {
        QTest::addColumn<int>("pattern");
        QTest::addColumn<int>("unitSize");
        QTest::newRow("windows-1251 without a break") << 0 << 1;
        QTest::newRow("UTF-16LE fields without a break") << 1 << 2;
        QTest::newRow("long lines pass it at the 9th") << 2 << 1;
    }

    void refusesTextPastTheLimit()
    {
        QFETCH(int, pattern);
        QFETCH(int, unitSize);
        const quint64 longLine = 500000;
        EndlessDevice device([&](quint64 i) -> char {
            switch (pattern) {
            case 0: return 'A';
            case 1: return i == 0 ? '\xFF' : i == 1 ? '\xFE' : i % 4 == 2 ? 'x' : i % 4 == 0 ? '\t' : '\0';
            default: return i % (longLine + 2) < longLine ? 'A' : i % (longLine + 2) == longLine ? '\t' : '\n';
            }
        });
        QCOMPARE(ErrorOf([&] { ReadUkb(device, QStringLiteral("big.ukb")); }),
                 QStringLiteral("Cannot open file big.ukb: more than 4194304 characters, too large for a layout"));
        // Reading stopped near the limit.
        QVERIFY(device.bytesTaken() <= quint64(unitSize * MaxUkbTextLength + 64 * 1024));
    }

    // What no real layout reaches still loads whole: 48 keys with long spare texts.
    void readsLongLayoutWhole()
    {
        KeyTableArray table = DefaultTable();
        for (s_key &key : table)
            key.spare3 = QString(MaxUkbTextLength / 50, u'z');
        const UkbContent content = ReadBytes(UkbFileBytes(table));
        QCOMPARE(content.entries.size(), 48);
        QCOMPARE(content.entries[47][15], table[47].spare3);
    }

    // Standard input redirected from a folder: read() fails, which is no end of the file.
    void readErrorIsNoEnd()
    {
        const int folder = ::open(".", O_RDONLY | O_DIRECTORY);
        DescriptorDevice fromFolder(folder, QIODevice::ReadOnly);
        QCOMPARE(ErrorOf([&] { ReadUkb(fromFolder, QStringLiteral("-")); }), QStringLiteral("Cannot open file -"));
        QCOMPARE(fromFolder.errorNumber(), EISDIR);
        ::close(folder);
    }

    // A pipe left non-blocking and still empty is waited on, not taken for an empty file.
    void nonBlockingPipeIsWaitedOn()
    {
        int ends[2];
        QCOMPARE(::pipe2(ends, O_NONBLOCK), 0);
        const QByteArray bytes = ReadAll(RussianUkb);
        std::thread writer([&] {
            ::usleep(100 * 1000);
            for (qsizetype done = 0; done < bytes.size();) {
                const ssize_t put = ::write(ends[1], bytes.constData() + done, size_t(bytes.size() - done));
                if (put > 0)
                    done += put;
                else
                    ::usleep(1000);
            }
            ::close(ends[1]);
        });
        DescriptorDevice device(ends[0], QIODevice::ReadOnly);
        const UkbContent content = ReadUkb(device, QStringLiteral("-"));
        writer.join();
        ::close(ends[0]);
        QCOMPARE(content.lines, UkbLines(RussianLayout()));
    }

    void endlessFiles()
    {
        QCOMPARE(ReadUkbFile(QStringLiteral("/dev/zero")).lines.size(), 0);
        QVERIFY(ReadUkbFile(QStringLiteral("/dev/urandom")).lines.size() <= 48);
    }

    void cannotOpen_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("missing file") << "missing.ukb";
        QTest::newRow("missing folder") << "missing/a.ukb";
        QTest::newRow("parent is a file") << "file/a.ukb";
        QTest::newRow("a directory") << ".";
    }

    void cannotOpen()
    {
        QFETCH(QString, path);
        QTemporaryDir dir;
        QVERIFY(WriteAll(dir.filePath(QStringLiteral("file")), QByteArray()));
        const QString full = dir.filePath(path);
        QCOMPARE(ErrorOf([&] { ReadUkbFile(full); }), QStringLiteral("Cannot open file %1").arg(full));
    }

    // ---- Applying

    void applyStoresReadEntriesOnly()
    {
        KeyTableArray table = DefaultTable();
        for (int number = 1; number <= KeyCount; ++number)
            SetEverySlot(KeyByNumber(table, number), number);
        KeyTableArray before = table;

        const QList<KeyHint> hints = ApplyUkb(table, ReadBytes(Utf16Le("1\t0041\tA\t\r\n\r\n")));
        QCOMPARE(table[0].caps, u"1");
        QCOMPARE(table[0].norm_code, u"0041");
        QCOMPARE(table[0].norm_char, u"A");
        QCOMPARE(table[0].shift_code, QString());
        QCOMPARE(table[0].spare3, QString());
        // An empty line empties all 16 slots; the key's identity stays.
        s_key emptied;
        emptied.vk = before[1].vk;
        emptied.cell = 2;
        emptied.scan_code = before[1].scan_code;
        emptied.vk_name = before[1].vk_name;
        QVERIFY(table[1] == emptied);
        for (int i = 2; i < 47; ++i)
            QVERIFY(table[i] == before[i]);
        // The space bar had no line, yet it gets its fixed values; its other slots stay.
        SetSpaceBarFixedValues(before[47]);
        QVERIFY(table[47] == before[47]);

        QCOMPARE(hints.size(), 2);
        QCOMPARE(hints[0], (KeyHint{1, BuildKeyHint(table[0])}));
        QCOMPARE(hints[1], (KeyHint{2, BuildKeyHint(table[1])}));
    }

    void applyNothingStillFixesSpaceBar()
    {
        KeyTableArray table = DefaultTable();
        KeyByNumber(table, 48).caps = QStringLiteral("1");
        KeyByNumber(table, 48).norm_code.clear();
        KeyByNumber(table, 1).norm_char = QStringLiteral("q");
        QVERIFY(ApplyUkb(table, ReadBytes("\xFF\xFE")).isEmpty());
        QCOMPARE(KeyByNumber(table, 48).caps, u"0");
        QCOMPARE(KeyByNumber(table, 48).norm_code, u"0020");
        QCOMPARE(KeyByNumber(table, 1).norm_char, u"q");
    }

    void spaceBarHintFromFileValues()
    {
        QString text;
        for (int line = 1; line < 48; ++line)
            text += QStringLiteral("\r\n");
        text += QStringLiteral("1\t0041\tA\t0042\tB\t<>\t<>\t<>\t<>\t<>\t<>\t<>\t<>\tsp\t\r\n");
        KeyTableArray table = DefaultTable();
        const QList<KeyHint> hints = ApplyUkb(table, ReadBytes(Utf16Le(text)));
        QCOMPARE(hints.size(), 48);

        s_key fromFile = KeyByNumber(DefaultTable(), 48);
        fromFile.caps = QStringLiteral("1");
        fromFile.norm_code = QStringLiteral("0041");
        fromFile.norm_char = QStringLiteral("A");
        fromFile.shift_code = QStringLiteral("0042");
        fromFile.shift_char = QStringLiteral("B");
        fromFile.ctrl_code.clear();
        fromFile.spare1 = QStringLiteral("sp");
        QCOMPARE(hints[47], (KeyHint{48, BuildKeyHint(fromFile)}));
        QVERIFY(hints[47].hint.contains(u"Caps Lock (1)"));

        const s_key &space = KeyByNumber(table, 48);
        QCOMPARE(space.caps, u"0");
        QCOMPARE(space.norm_code, u"0020");
        QCOMPARE(space.shift_code, u"0020");
        QCOMPARE(space.ctrl_code, u"0020");
        QCOMPARE(space.norm_char, u"A");
        QCOMPARE(space.shift_char, u"B");
        QCOMPARE(space.spare1, u"sp");
    }

    // ---- Dead keys and the ISO key in the spare slots

    void extensionRoundTrip()
    {
        const KeyTableArray saved = DeadKeyLayout();
        const QByteArray bytes = UkbFileBytes(saved);
        KeyTableArray loaded = DefaultTable();
        KeyByNumber(loaded, IsoKey).norm_char = QStringLiteral("old");
        ApplyUkb(loaded, ReadBytes(bytes));
        QVERIFY(loaded == saved);
        QCOMPARE(UkbFileBytes(loaded), bytes);
        // The slot another program filled stays where it was.
        QCOMPARE(ReadBytes(bytes).entries[12][13], u"kept");
    }

    // A reader that keeps the spare slots as held (the format's rule) sees the 48 keys as
    // they are without dead keys, and writes the same file back.
    void extensionIsInvisibleToPlainReaders()
    {
        KeyTableArray plain = DeadKeyLayout();
        ClearKeyTexts(KeyByNumber(plain, IsoKey));
        for (s_key &key : plain)
            key.dead = {};
        const QByteArray bytes = UkbFileBytes(DeadKeyLayout());
        const UkbContent content = ReadBytes(bytes);
        const UkbContent plainContent = ReadBytes(UkbFileBytes(plain));
        QStringList rewritten;
        for (int line = 0; line < KeyCount; ++line) {
            const UkbFields &fields = content.entries[line];
            QVERIFY(std::equal(fields.begin(), fields.begin() + 13, plainContent.entries[line].begin()));
            QString text;
            for (const QString &field : fields)
                text += (field.isEmpty() ? QStringLiteral("<>") : field) + u'\t';
            rewritten << text;
        }
        QCOMPARE(rewritten, content.lines);
    }

    void foreignSlotsAreKept_data()
    {
        QTest::addColumn<QString>("slot");
        QTest::newRow("plain text") << QStringLiteral("note");
        QTest::newRow("prefix only") << QStringLiteral("tavo1");
        QTest::newRow("other version") << QStringLiteral("tavo2;dead1::");
        QTest::newRow("unknown record") << QStringLiteral("tavo1;dead1::;colour:red");
        QTest::newRow("state out of range") << QStringLiteral("tavo1;dead7::");
        QTest::newRow("state twice") << QStringLiteral("tavo1;dead1::;dead1::");
        QTest::newRow("pair without result") << QStringLiteral("tavo1;dead1::61");
        QTest::newRow("raw reserved character") << QStringLiteral("tavo1;dead1::a>b;c");
        QTest::newRow("bad percent") << QStringLiteral("tavo1;dead1::a>%G1");
        QTest::newRow("invalid UTF-8") << QStringLiteral("tavo1;dead1::a>%C3");
        QTest::newRow("ISO key on another line") << QStringLiteral("tavo1;iso:1////////////");
        QTest::newRow("ISO key with 12 fields") << QStringLiteral("tavo1;iso:1///////////");
        QTest::newRow("ISO dead key without the ISO key") << QStringLiteral("tavo1;isodead1::");
    }

    void foreignSlotsAreKept()
    {
        QFETCH(QString, slot);
        KeyTableArray table = DefaultTable();
        KeyByNumber(table, 5).spare2 = slot;
        KeyTableArray loaded = DefaultTable();
        KeyByNumber(loaded, IsoKey).norm_char = QStringLiteral("old");  // a load replaces the ISO key too
        ApplyUkb(loaded, ReadBytes(UkbFileBytes(table)));
        QVERIFY(loaded == table);
    }

    void noFreeSpareSlotIsAnError()
    {
        KeyTableArray table = DeadKeyLayout();
        s_key &key = KeyByNumber(table, 13);
        key.spare2 = key.spare3 = QStringLiteral("taken");
        QCOMPARE(ErrorOf([&] { UkbLines(table); }), u"Key 13 has no free spare slot for its dead keys");
    }

    // ---- Saving to a file

    void saveCreatesAndReplaces()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("layout.ukb"));
        SaveUkbFile(DefaultTable(), path);
        QCOMPARE(ReadAll(path), UkbFileBytes(DefaultTable()));
        SaveUkbFile(RussianLayout(), path);
        QCOMPARE(ReadAll(path), UkbFileBytes(RussianLayout()));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"layout.ukb"});
    }
};

TAVO_TEST(TestUkbFile)
#include "tst_ukbfile.moc"
