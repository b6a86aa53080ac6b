// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "codepage.h"
#include "layoutxml.h"
#include "testhelpers.h"
#include "testlayouts.h"
#include "testregistry.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <algorithm>
#include <set>

Q_DECLARE_METATYPE(LayoutDialect)

namespace {

// Saves through the dialect's own save function.
void SaveLayout(KeyTableArray &table, const QString &path, LayoutDialect dialect)
{
    if (dialect == LayoutDialect::Classic)
        SaveLayoutClassic(table, path);
    else
        SaveLayoutNew(table, path);
}

QList<QByteArray> Lines(const QByteArray &file)
{
    QList<QByteArray> lines = file.split('\n');
    lines.removeLast();  // after the last line end
    for (QByteArray &line : lines) {
        if (!line.endsWith('\r'))
            qFatal("line without CR LF: %s", line.constData());
        line.chop(1);
    }
    return lines;
}

struct ParsedButton {
    QString keyCode;
    QString type;
    QString norm;
    QString shift;
    QString caption;
    bool hasCaption = false;
};

struct ParsedFile {
    QString error;
    QStringList comments;
    QList<ParsedButton> buttons;
};

// Reads a file back with Qt's strict XML reader, with the attribute names of the dialect.
ParsedFile Parse(const QByteArray &bytes, LayoutDialect dialect)
{
    const bool classic = dialect == LayoutDialect::Classic;
    ParsedFile parsed;
    QXmlStreamReader reader(bytes);
    QStringList path;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement: {
            path << reader.name().toString();
            if (reader.name() != u"button")
                break;
            const QXmlStreamAttributes attributes = reader.attributes();
            ParsedButton button;
            const auto value = [&attributes](const char *name) {
                return attributes.value(QLatin1StringView(name)).toString();
            };
            button.keyCode = value(classic ? "id" : "vk");
            button.type = value("type");
            button.norm = value(classic ? "char" : "value");
            button.shift = value(classic ? "shiftchar" : "shiftvalue");
            button.hasCaption = attributes.hasAttribute(QLatin1StringView("caption"));
            button.caption = value("caption");
            if (path != QStringList{"keyboard", "buttons", "button"})
                parsed.error = QStringLiteral("button outside keyboard/buttons");
            parsed.buttons << button;
            break;
        }
        case QXmlStreamReader::EndElement:
            path.removeLast();
            break;
        case QXmlStreamReader::Comment:
            parsed.comments << reader.text().toString();
            break;
        default:
            break;
        }
    }
    if (reader.hasError())
        parsed.error = reader.errorString();
    return parsed;
}

// What a reader gets back for one key character: the one character the file holds.
QString ReadBackValue(const QString &text)
{
    const QByteArray bytes = ToAnsi(text);
    if (std::all_of(bytes.begin(), bytes.end(), [](char b) { return uchar(b) <= 0x20; }))
        return QStringLiteral(" ");
    return FromAnsi(bytes.left(1));
}

// What libxml2, which decodes the declared encoding strictly, says of the file: empty when
// it is well-formed.
QString XmllintErrors(const QByteArray &bytes)
{
    const QString xmllint = QStandardPaths::findExecutable(QStringLiteral("xmllint"));
    if (xmllint.isEmpty())
        return QStringLiteral("xmllint (libxml2-utils) is not installed");
    QProcess process;
    process.start(xmllint, {QStringLiteral("--noout"), QStringLiteral("-")});
    process.write(bytes);
    process.closeWriteChannel();
    if (!process.waitForFinished())
        return QStringLiteral("xmllint did not finish");
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return QString::fromLocal8Bit(process.readAllStandardError());
    return QString();
}

} // namespace

class TestLayoutXml : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void lossesOfTheDialects()
    {
        QCOMPARE(LayoutFileLosses(EdgeLayout()), QStringList());  // its U+1F600 is on AltGr
        KeyTableArray table = DefaultTable();
        SetChars(table, 2, QStringLiteral("\U00010450"), QStringLiteral("\U00010451"));
        KeyByNumber(table, IsoKey).norm_char = QStringLiteral("<");
        QCOMPARE(LayoutFileLosses(table), QStringList({"2 characters beyond U+FFFF are written as \"?\"",
                                                       "the ISO key is not written: the format has no place for it"}));
    }

    void defaultLayoutFile_data()
    {
        QTest::addColumn<LayoutDialect>("dialect");
        QTest::newRow("classic") << LayoutDialect::Classic;
        QTest::newRow("new") << LayoutDialect::New;
    }

    // The shape of the file; the golden files hold the whole of it.
    void defaultLayoutFile()
    {
        QFETCH(LayoutDialect, dialect);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("default.layout"));
        KeyTableArray table = DefaultTable();
        SaveLayout(table, path, dialect);
        const QByteArray written = ReadAll(path);
        QCOMPARE(written.count("\r\n"), 58);
        QVERIFY(written.endsWith("</keyboard>\r\n"));
        QVERIFY(written.contains("=\"192\" "));
        QVERIFY(written.contains("=\"32\" "));
        QVERIFY(written.contains(" caption=\"\xCF\xF0\xEE\xE1\xE5\xEB\" />\r\n"));
    }

    void existingFileIsReplaced()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("old.layout"));
        QVERIFY(WriteAll(path, QByteArray(5000, 'x')));
        const KeyTableArray table = EdgeLayout();
        SaveLayoutClassic(table, path);
        QCOMPARE(ReadAll(path), LayoutFileBytes(table, LayoutDialect::Classic));
    }

    void layoutChar_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("value");
        // blanks
        QTest::newRow("empty") << QString() << QByteArray(" ");
        QTest::newRow("space") << QStringLiteral(" ") << QByteArray(" ");
        QTest::newRow("several blanks") << QStringLiteral("   ") << QByteArray(" ");
        QTest::newRow("tab") << QStringLiteral("\t") << QByteArray(" ");
        QTest::newRow("control characters only") << QStringLiteral("\x01\x1F\r\n") << QByteArray(" ");
        QTest::newRow("nul") << QString(QChar(0)) << QByteArray(" ");
        QTest::newRow("first above blank") << QStringLiteral("!") << QByteArray("!");
        // a first byte that XML 1.0 cannot hold, even as a reference, counts as blank
        QTest::newRow("control then letter") << QStringLiteral("\x01a") << QByteArray(" ");
        QTest::newRow("escape then letter") << QStringLiteral("\x1B[") << QByteArray(" ");
        QTest::newRow("nul then letter") << QString(QChar(0)) + u'a' << QByteArray(" ");
        QTest::newRow("tab then letter") << QStringLiteral("\ta") << QByteArray("\t");
        QTest::newRow("line feed then letter") << QStringLiteral("\na") << QByteArray("\n");
        QTest::newRow("delete is allowed") << QStringLiteral("\x7F") << QByteArray("\x7F");
        QTest::newRow("no-break space is not a blank") << QStringLiteral("\u00A0") << QByteArray("\xA0");
        // the first byte only, leading blanks not skipped
        QTest::newRow("several characters") << QStringLiteral("abc") << QByteArray("a");
        QTest::newRow("space before a letter") << QStringLiteral(" a") << QByteArray(" ");
        QTest::newRow("cyrillic then latin") << QStringLiteral("\u044Fz") << QByteArray("\xFF");
        // escaping
        QTest::newRow("ampersand") << QStringLiteral("&") << QByteArray("&amp;");
        QTest::newRow("ampersand as stored by the table") << QStringLiteral("&&") << QByteArray("&amp;");
        QTest::newRow("double quote") << QStringLiteral("\"") << QByteArray("&quot;");
        QTest::newRow("less-than") << QStringLiteral("<") << QByteArray("&lt;");
        QTest::newRow("greater-than") << QStringLiteral(">") << QByteArray(">");
        QTest::newRow("apostrophe") << QStringLiteral("'") << QByteArray("'");
        QTest::newRow("escaped only when first") << QStringLiteral("a&") << QByteArray("a");
        // the code page
        QTest::newRow("cyrillic letter") << QStringLiteral("\u0439") << QByteArray("\xE9");
        QTest::newRow("capital yo") << QStringLiteral("\u0401") << QByteArray("\xA8");
        QTest::newRow("euro sign") << QStringLiteral("\u20AC") << QByteArray("\x88");
        QTest::newRow("cjk character") << QStringLiteral("\u4E2D") << QByteArray("?");
        QTest::newRow("no look-alike for a with breve") << QStringLiteral("\u0103") << QByteArray("?");
        QTest::newRow("outside the code page then letter") << QStringLiteral("\u4E2Da") << QByteArray("?");
        QTest::newRow("character beyond 16 bits") << QStringLiteral("\U0001F600") << QByteArray("?");
    }

    void layoutChar()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, value);
        QCOMPARE(LayoutChar(text), value);
    }

    void layoutLettersTable()
    {
        QCOMPARE(int(LayoutLetters.size()), 118);
        QCOMPARE(LayoutLetters[0], 'A');
        QCOMPARE(LayoutLetters[25], 'Z');
        QCOMPARE(LayoutLetters[26], 'a');
        QCOMPARE(LayoutLetters[51], 'z');
        QCOMPARE(FromAnsi(QByteArrayView(&LayoutLetters[52], 1)), QStringLiteral("\u0410"));
        QCOMPARE(FromAnsi(QByteArrayView(&LayoutLetters[83], 1)), QStringLiteral("\u042F"));
        QCOMPARE(FromAnsi(QByteArrayView(&LayoutLetters[84], 1)), QStringLiteral("\u0430"));
        QCOMPARE(FromAnsi(QByteArrayView(&LayoutLetters[115], 1)), QStringLiteral("\u044F"));
        QCOMPARE(FromAnsi(QByteArrayView(&LayoutLetters[116], 1)), QStringLiteral("\u0401"));
        QCOMPARE(FromAnsi(QByteArrayView(&LayoutLetters[117], 1)), QStringLiteral("\u0451"));
        const std::set<char> distinct(LayoutLetters.begin(), LayoutLetters.end());
        QCOMPARE(int(distinct.size()), 118);
    }

    // The letters are exactly the 118 characters, among all 256 bytes.
    void everyByteIsTestedAgainstTheTable()
    {
        int letters = 0;
        for (int byte = 0; byte <= 255; ++byte) {
            const char c = char(byte);
            const QChar character = FromAnsi(QByteArrayView(&c, 1)).front();
            const bool expected = (character >= u'A' && character <= u'Z')
                || (character >= u'a' && character <= u'z')
                || (character >= u'\u0410' && character <= u'\u044F')
                || character == u'\u0401' || character == u'\u0451';
            QVERIFY2(IsLayoutLetter(QByteArrayView(&c, 1)) == expected, qPrintable(QString::number(byte)));
            letters += expected;
        }
        QCOMPARE(letters, 118);
    }

    // Single bytes are all covered above; longer and empty texts never match.
    void isLayoutLetter_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("letter");
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("two letters") << QByteArray("ab") << false;
        QTest::newRow("nul then letter") << QByteArray("\0a", 2) << false;
        QTest::newRow("letter then nul") << QByteArray("a\0", 2) << false;
    }

    void isLayoutLetter()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, letter);
        QCOMPARE(IsLayoutLetter(text), letter);
    }

    void keyType_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("norm");
        QTest::addColumn<QString>("shift");
        QTest::addColumn<QString>("type");
        QTest::newRow("cyrillic short i") << 14 << QStringLiteral("\u0439") << QStringLiteral("\u0419") << "letter";
        QTest::newRow("latin q") << 14 << "q" << "Q" << "letter";
        QTest::newRow("yo") << 1 << QStringLiteral("\u0451") << QStringLiteral("\u0401") << "letter";
        QTest::newRow("digit and sign") << 2 << "1" << "!" << "sign";
        QTest::newRow("letter and digit") << 14 << "q" << "1" << "sign";
        QTest::newRow("mixed alphabets") << 27 << "a" << QStringLiteral("\u0424") << "letter";
        QTest::newRow("empty norm") << 27 << "" << "A" << "sign";
        QTest::newRow("empty shift") << 27 << "a" << "" << "sign";
        QTest::newRow("both empty") << 27 << "" << "" << "sign";
        QTest::newRow("two letters") << 27 << "ab" << "AB" << "sign";
        QTest::newRow("letter with a blank") << 27 << " a" << "A" << "sign";
        QTest::newRow("ukrainian i") << 30 << QStringLiteral("\u0456") << QStringLiteral("\u0406") << "sign";
        QTest::newRow("cjk character") << 31 << QStringLiteral("\u4E2D") << "X" << "sign";
        QTest::newRow("space key with spaces") << 48 << " " << " " << "sign";
        QTest::newRow("space key with letters") << 48 << "z" << "Z" << "letter";
    }

    void keyType()
    {
        QFETCH(int, key);
        QFETCH(QString, norm);
        QFETCH(QString, shift);
        QFETCH(QString, type);
        KeyTableArray table = DefaultTable();
        // A type left from an earlier pass must not survive.
        for (s_key &entry : table)
            entry.key_type = QStringLiteral("letter");
        SetChars(table, key, norm, shift);
        SetKeyTypes(table);
        for (int number = 1; number <= KeyCount; ++number)
            QCOMPARE(KeyByNumber(table, number).key_type, number == key ? type : QStringLiteral("sign"));
    }

    void saveLayoutNewRunsTheTypePass()
    {
        QTemporaryDir dir;
        KeyTableArray table = DefaultTable();
        SetChars(table, 14, QStringLiteral("\u0439"), QStringLiteral("\u0419"));
        SaveLayoutNew(table, dir.filePath(QStringLiteral("a.layout")));
        QCOMPARE(KeyByNumber(table, 14).key_type, QStringLiteral("letter"));
        QCOMPARE(KeyByNumber(table, 13).key_type, QStringLiteral("sign"));
        QVERIFY(ReadAll(dir.filePath(QStringLiteral("a.layout")))
                    .contains("<button vk=\"81\" type=\"letter\" value=\"\xE9\" shiftvalue=\"\xC9\" />\r\n"));
    }

    void saveLayoutClassicLeavesTheTableAlone()
    {
        QTemporaryDir dir;
        KeyTableArray table = EdgeLayout();
        const KeyTableArray before = table;
        SaveLayoutClassic(table, dir.filePath(QStringLiteral("a.layout")));
        QVERIFY(table == before);
    }

    // Apart from the attribute names, the type and the caption encoding (the same under
    // windows-1251), the new file equals the classic one line for line.
    void dialectsAgreeLineForLine_data()
    {
        QTest::addColumn<bool>("edge");
        QTest::newRow("default layout") << false;
        QTest::newRow("edge layout") << true;
    }

    void dialectsAgreeLineForLine()
    {
        QFETCH(bool, edge);
        KeyTableArray table = edge ? EdgeLayout() : DefaultTable();
        SetKeyTypes(table);
        const QList<QByteArray> classic = Lines(LayoutFileBytes(table, LayoutDialect::Classic));
        const QList<QByteArray> fresh = Lines(LayoutFileBytes(table, LayoutDialect::New));
        QCOMPARE(classic.size(), 58);
        QCOMPARE(fresh.size(), 58);
        const QRegularExpression newButton(QString::fromLatin1(
            "^    <button vk=\"(\\d+)\" type=\"(letter|sign)\" value=\"([^\"]*)\" shiftvalue=\"([^\"]*)\"( caption=\"[^\"]*\")? />$"));
        int buttons = 0;
        for (int i = 0; i < 58; ++i) {
            // Latin-1 keeps every byte as one character.
            const QString line = QString::fromLatin1(fresh[i]);
            const QRegularExpressionMatch match = newButton.match(line);
            if (!match.hasMatch()) {
                QCOMPARE(fresh[i], classic[i]);
                continue;
            }
            const s_key &key = table[buttons++];
            QCOMPARE(match.captured(2), key.key_type);
            const QString asClassic = QStringLiteral("    <button id=\"%1\" char=\"%2\" shiftchar=\"%3\"%4 />")
                                          .arg(match.captured(1), match.captured(3), match.captured(4),
                                               match.captured(5));
            QCOMPARE(asClassic.toLatin1(), classic[i]);
        }
        QCOMPARE(buttons, 48);
    }

    // The groups and the caption go by position in the table, not by the key found there.
    void groupsFollowTablePosition()
    {
        KeyTableArray table = DefaultTable();
        std::swap(table[0].vk, table[47].vk);
        table[13].vk = 0;
        table[26].vk = 65535;
        for (const LayoutDialect dialect : {LayoutDialect::Classic, LayoutDialect::New}) {
            const QList<QByteArray> lines = Lines(LayoutFileBytes(table, dialect));
            QVERIFY(lines[4].contains("=\"32\" "));
            QVERIFY(!lines[4].contains("caption"));
            QVERIFY(lines[55].contains("=\"192\" "));
            QVERIFY(lines[55].contains("caption"));
            QVERIFY(lines[18].contains("=\"0\" "));
            QVERIFY(lines[32].contains("=\"65535\" "));
            QCOMPARE(int(std::count_if(lines.begin(), lines.end(),
                                       [](const QByteArray &line) { return line.contains("caption"); })),
                     1);
        }
    }

    void filesParseBack_data()
    {
        QTest::addColumn<LayoutDialect>("dialect");
        QTest::addColumn<bool>("edge");
        QTest::newRow("classic, default layout") << LayoutDialect::Classic << false;
        QTest::newRow("new, default layout") << LayoutDialect::New << false;
        QTest::newRow("classic, edge layout") << LayoutDialect::Classic << true;
        QTest::newRow("new, edge layout") << LayoutDialect::New << true;
    }

    // A strict XML reader accepts every file and gets the 48 keys back.
    void filesParseBack()
    {
        QFETCH(LayoutDialect, dialect);
        QFETCH(bool, edge);
        KeyTableArray table = edge ? EdgeLayout() : DefaultTable();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("a.layout"));
        SaveLayout(table, path, dialect);

        const ParsedFile parsed = Parse(ReadAll(path), dialect);
        QCOMPARE(parsed.error, QString());
        QCOMPARE(parsed.comments.size(), 5);
        QCOMPARE(parsed.comments.front(), QStringLiteral(" \u0426\u0418\u0424\u0420\u041E\u0412\u041E\u0419 \u0420\u042F\u0414 "));
        QCOMPARE(parsed.buttons.size(), 48);
        for (int i = 0; i < KeyCount; ++i) {
            const s_key &key = table[i];
            const ParsedButton &button = parsed.buttons[i];
            QCOMPARE(button.keyCode, QString::number(key.vk));
            QCOMPARE(button.norm, ReadBackValue(key.norm_char));
            QCOMPARE(button.shift, ReadBackValue(key.shift_char));
            QCOMPARE(button.type, dialect == LayoutDialect::New ? key.key_type : QString());
            QCOMPARE(button.hasCaption, i == KeyCount - 1);
        }
        QCOMPARE(parsed.buttons.back().caption, QStringLiteral("\u041F\u0440\u043E\u0431\u0435\u043B"));
        if (edge) {
            // the characters XML escapes come back as themselves
            QCOMPARE(parsed.buttons[2].shift, QStringLiteral("\""));
            QCOMPARE(parsed.buttons[7].shift, QStringLiteral("&"));
            QCOMPARE(parsed.buttons[23].norm, QStringLiteral("<"));
        }
    }

    void wellFormedInDeclaredEncoding_data()
    {
        QTest::addColumn<QStringList>("texts");
        // Every character an ANSI .ukb or the character table's code-page view can give,
        // each followed by a letter so that it is not blank.
        for (int first = 0; first < 256; first += KeyCount * 2) {
            QStringList texts;
            for (int byte = first; byte < qMin(256, first + KeyCount * 2); ++byte)
                texts << QString(AnsiByteToChar(uchar(byte))) + u'a';
            QTest::addRow("code page bytes from %02X", first) << texts;
        }
        QTest::newRow("byte 98, undefined in windows-1251")
            << QStringList{QStringLiteral("\u0098"), QStringLiteral("\u0098a")};
        QTest::newRow("C1 controls") << QStringList{QStringLiteral("\u0080"), QStringLiteral("\u0085"),
                                                    QStringLiteral("\u009F")};
        QTest::newRow("controls before a letter")
            << QStringList{QStringLiteral("\x01a"), QStringLiteral("\x08b"), QStringLiteral("\x1F!"),
                           QString(QChar(0)) + u'x', QStringLiteral("\ta"), QStringLiteral("\r\n?")};
        QTest::newRow("markup characters") << QStringList{"<", ">", "&", "&&", "\"", "'", "]]>"};
        QTest::newRow("outside the code page")
            << QStringList{QStringLiteral("\u4E2D"), QStringLiteral("\U0001F600"), QString(QChar(0xD800)),
                           QStringLiteral("\uFFFE"), QStringLiteral("\uFFFF")};
    }

    // Every key text gives a file that a strict reader of windows-1251 XML accepts.
    void wellFormedInDeclaredEncoding()
    {
        QFETCH(QStringList, texts);
        KeyTableArray table = DefaultTable();
        for (int i = 0; i < texts.size(); ++i) {
            s_key &key = table[(i / 2) % KeyCount];
            (i % 2 == 0 ? key.norm_char : key.shift_char) = texts[i];
        }
        SetKeyTypes(table);
        for (const LayoutDialect dialect : {LayoutDialect::Classic, LayoutDialect::New}) {
            const QByteArray bytes = LayoutFileBytes(table, dialect);
            const ParsedFile parsed = Parse(bytes, dialect);
            QCOMPARE(parsed.error, QString());
            QCOMPARE(parsed.buttons.size(), 48);
            for (const ParsedButton &button : parsed.buttons) {
                QCOMPARE(button.norm.size(), 1);
                QCOMPARE(button.shift.size(), 1);
            }
            QCOMPARE(XmllintErrors(bytes), QString());
        }
    }

    // The types of the pass stay in the table even when the write fails.
    void newExportKeepsItsTypesWhenTheWriteFails()
    {
        QTemporaryDir dir;
        QVERIFY(WriteAll(dir.filePath(QStringLiteral("file")), QByteArray()));
        KeyTableArray table = DefaultTable();
        SetChars(table, 15, QStringLiteral("w"), QStringLiteral("W"));
        QVERIFY(!ErrorOf([&] { SaveLayoutNew(table, dir.filePath(QStringLiteral("file/x.layout"))); }).isEmpty());
        QCOMPARE(KeyByNumber(table, 15).key_type, u"letter");
        QCOMPARE(KeyByNumber(table, 1).key_type, u"sign");
    }
};

TAVO_TEST(TestLayoutXml)
#include "tst_layoutxml.moc"
