// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "keyboardgeometry.h"
#include "keyboardpicture.h"
#include "testhelpers.h"
#include "testlayouts.h"
#include "testregistry.h"

#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

Q_DECLARE_METATYPE(PictureFormat)

namespace {

// The text of every <text> element in document order; empty when the XML is not well formed.
QStringList SvgTexts(const QByteArray &svg)
{
    QStringList texts;
    QXmlStreamReader xml(svg);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"text")
            texts.append(xml.readElementText());
    }
    if (xml.hasError()) {
        qWarning("%s at line %lld", qPrintable(xml.errorString()), xml.lineNumber());
        return {};
    }
    return texts;
}

QString SvgTitle(const QByteArray &svg)
{
    QXmlStreamReader xml(svg);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"title")
            return xml.readElementText();
    }
    return QString();
}

} // namespace

class TestKeyboardPicture : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void capText_data()
    {
        QTest::addColumn<QString>("character");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("isCode");
        QTest::newRow("nothing assigned") << "" << "" << false;
        QTest::newRow("Cyrillic letter") << "\u0436" << "\u0436" << false;
        QTest::newRow("stored ampersand") << "&&" << "&" << false;
        QTest::newRow("less-than") << "<" << "<" << false;
        QTest::newRow("space") << " " << "0020" << true;
        QTest::newRow("no-break space") << "\u00A0" << "00A0" << true;
        QTest::newRow("control") << "\u0007" << "0007" << true;
        QTest::newRow("zero-width joiner") << "\u200D" << "200D" << true;
        QTest::newRow("two blanks") << " \u3000" << "0020 3000" << true;
        QTest::newRow("lone surrogate") << QString(QChar(0xD800)) << "D800" << true;
        QTest::newRow("noncharacter") << "\uFFFF" << "FFFF" << true;
        QTest::newRow("format character beyond 16 bits") << "\U000E0001" << "E0001" << true;
        QTest::newRow("combining mark") << "\u0301" << "\u25CC\u0301" << false;
        QTest::newRow("letter beyond 16 bits") << "\U0001D400" << "\U0001D400" << false;
        QTest::newRow("letter and blank") << "a " << "a " << false;
    }

    void capText()
    {
        QFETCH(QString, character);
        QFETCH(QString, text);
        QFETCH(bool, isCode);
        const CapText shown = CapTextOf(character);
        QCOMPARE(shown.text, text);
        QCOMPARE(shown.isCode, isCode);
    }

    void keyCap_data()
    {
        QTest::addColumn<QString>("caps");
        QTest::addColumn<QString>("norm");
        QTest::addColumn<QString>("shift");
        QTest::addColumn<bool>("capitalOnly");
        QTest::newRow("Cyrillic letter, Caps Lock") << "1" << "\u0439" << "\u0419" << true;
        QTest::newRow("Latin letter, Caps Lock") << "1" << "q" << "Q" << true;
        QTest::newRow("letter, no Caps Lock") << "0" << "q" << "Q" << false;
        QTest::newRow("letter, caps flag not exactly 1") << " 1" << "q" << "Q" << false;
        QTest::newRow("shift is another letter") << "1" << "q" << "W" << false;
        QTest::newRow("digit and sign") << "1" << "1" << "!" << false;
        QTest::newRow("same character twice") << "1" << "1" << "1" << false;
        QTest::newRow("blanks") << "1" << " " << " " << false;
        QTest::newRow("no shift character") << "1" << "q" << "" << false;
    }

    void keyCap()
    {
        QFETCH(QString, caps);
        QFETCH(QString, norm);
        QFETCH(QString, shift);
        QFETCH(bool, capitalOnly);
        s_key key;
        key.caps = caps;
        key.norm_char = norm;
        key.shift_char = shift;
        key.altgr_char = QStringLiteral("\u20AC");
        key.altgr_shift_char = QStringLiteral("&&");
        const KeyCap cap = KeyCapOf(key);
        QCOMPARE(cap.capitalOnly, capitalOnly);
        QCOMPARE(cap.shift, CapTextOf(shift));
        QCOMPARE(cap.norm, capitalOnly ? CapText() : CapTextOf(norm));
        // The AltGr states are shown either way.
        QCOMPARE(cap.altgr.text, u"\u20AC");
        QCOMPARE(cap.altgrShift.text, u"&");
    }

    void deadCorners()
    {
        s_key key;
        key.caps = QStringLiteral("1");
        key.norm_char = QStringLiteral("q");
        key.shift_char = QStringLiteral("Q");
        DeadOf(key, ShiftState::Norm) = DeadKey{};
        DeadOf(key, ShiftState::AltGr) = DeadKey{};  // no character, nothing to frame
        const KeyCap cap = KeyCapOf(key);
        QVERIFY(!cap.capitalOnly);  // the dead Norm state stays in sight
        QCOMPARE(cap.norm, (CapText{QStringLiteral("q"), false, true}));
        QVERIFY(!cap.shift.dead && !cap.altgr.dead);
    }

    void legendExplainsDeadKeysShown_data()
    {
        QTest::addColumn<KeyTableArray>("table");
        QTest::addColumn<bool>("explained");
        KeyTableArray ctrlOnly = DefaultTable();
        KeyByNumber(ctrlOnly, 2).ctrl_char = QStringLiteral("^");
        DeadOf(KeyByNumber(ctrlOnly, 2), ShiftState::Ctrl) = DeadKey{};
        QTest::newRow("no dead keys") << DefaultTable() << false;
        QTest::newRow("dead keys") << DeadKeyLayout() << true;
        QTest::newRow("a dead Ctrl state is not drawn") << ctrlOnly << false;
    }
    void legendExplainsDeadKeysShown()
    {
        QFETCH(KeyTableArray, table);
        QFETCH(bool, explained);
        const QStringList texts = SvgTexts(KeyboardPictureBytes(table, QString(), PictureFormat::Svg));
        QCOMPARE(texts.join(QString()).contains(u"a dead key"), explained);
    }

    void title_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("title");
        QTest::newRow("path") << "/home/me/layouts/ru-phonetic.ukb" << "ru-phonetic.ukb";
        QTest::newRow("file name") << "ru.ukb" << "ru.ukb";
        QTest::newRow("none") << "" << "Untitled";
    }

    void title()
    {
        QFETCH(QString, path);
        QFETCH(QString, title);
        QCOMPARE(PictureTitle(path), title);
    }

    void svgHoldsEveryCharacterAsText()
    {
        const KeyTableArray table = EdgeLayout();
        const QByteArray svg = KeyboardPictureBytes(table, QStringLiteral("ru & <test>.ukb"), PictureFormat::Svg);
        const QStringList texts = SvgTexts(svg);
        QVERIFY(!texts.isEmpty());
        QCOMPARE(SvgTitle(svg), u"ru & <test>.ukb");
        // A text may be split into runs of one script each; they follow one another.
        const QString all = texts.join(QString());
        QVERIFY(all.startsWith(u"ru & <test>.ukb"));
        for (int number = 1; number <= KeyCount; ++number) {
            const KeyCap cap = KeyCapOf(KeyByNumber(table, number));
            for (const CapText &corner : {cap.shift, cap.norm, cap.altgrShift, cap.altgr}) {
                if (!corner.text.isEmpty())
                    QVERIFY2(all.contains(corner.text), qPrintable(QStringLiteral("key %1: %2").arg(number).arg(corner.text)));
            }
        }
        const QStringList expected = {u"\u0401"_qs, u"\u0419"_qs, u"\u0421"_qs, u"\u0441"_qs, u"\u20AC"_qs,
                                      u"&"_qs, u"<"_qs, u">"_qs, u"\u25CC\u0301"_qs, u"00A0"_qs};
        for (const QString &text : expected)
            QVERIFY2(all.contains(text), qPrintable(text));
        // Capitals alone on the letter keys with Caps Lock.
        QVERIFY(!all.contains(u"\u0439"));
        QVERIFY(!all.contains(u"\u0451"));
    }

    void isoKeyHasRoomBesideTheShortShift()
    {
        // Inside the block, so the picture keeps its size; only the short Shift leaves room.
        const QRect iso = KeyCellRect(IsoKey);
        QVERIFY(KeyboardBounds().contains(iso) && FixedKeyLabels[LeftShiftLabel].rect().intersects(iso));
        for (const FixedKeyLabel &label : FixedKeyLabelsFor(true))
            QVERIFY2(!label.rect().intersects(iso), label.caption);
        for (int number = 1; number <= KeyCount; ++number)
            QVERIFY(!KeyCellRect(number).intersects(iso));
    }

    void svgTitle_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("shown");
        QTest::newRow("markup characters") << "a&b <c>.ukb" << "a&b <c>.ukb";
        QTest::newRow("Cyrillic") << "\u0440\u0443.ukb" << "\u0440\u0443.ukb";
        QTest::newRow("control character") << "a\x01" "b.ukb" << "a\uFFFDb.ukb";
        QTest::newRow("noncharacter") << "a\uFFFF.ukb" << "a\uFFFD.ukb";
    }

    void svgTitle()
    {
        QFETCH(QString, title);
        QFETCH(QString, shown);
        const QByteArray svg = KeyboardPictureBytes(DefaultTable(), title, PictureFormat::Svg);
        const QStringList texts = SvgTexts(svg);
        QVERIFY(!texts.isEmpty());
        QCOMPARE(SvgTitle(svg), shown);
        QVERIFY(texts.join(QString()).startsWith(shown));
    }

    void pngHasTheExpectedSize()
    {
        const QByteArray png = KeyboardPictureBytes(EdgeLayout(), QStringLiteral("ru.ukb"), PictureFormat::Png);
        QVERIFY(png.startsWith("\x89PNG\r\n\x1a\n"));
        QImage image;
        QVERIFY(image.loadFromData(png, "PNG"));
        const QSize expected = (KeyboardPictureSize() * PngPixelsPerUnit).toSize();
        QCOMPARE(image.size(), expected);
        QVERIFY(expected.width() > 1500 && expected.height() > 700);
        // White paper at the corners.
        QCOMPARE(image.pixel(0, 0), qRgb(255, 255, 255));
        QCOMPARE(image.pixel(expected.width() - 1, expected.height() - 1), qRgb(255, 255, 255));
    }

    void pdfIsOneA4LandscapePage()
    {
        const QByteArray pdf = KeyboardPictureBytes(EdgeLayout(), QStringLiteral("ru.ukb"), PictureFormat::Pdf);
        QVERIFY(pdf.startsWith("%PDF-"));
        QVERIFY(pdf.trimmed().endsWith("%%EOF"));
        const QString text = QString::fromLatin1(pdf);
        QCOMPARE(text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))), 1);
        // 297 by 210 mm in points.
        QVERIFY(text.contains(QRegularExpression(QStringLiteral("/MediaBox\\s*\\[0 0 84[12](\\.0+)? 595(\\.0+)?\\]"))));
    }

    void sameBytesEveryTime_data()
    {
        QTest::addColumn<PictureFormat>("format");
        QTest::newRow("svg") << PictureFormat::Svg;
        QTest::newRow("png") << PictureFormat::Png;
        QTest::newRow("pdf") << PictureFormat::Pdf;
    }

    void sameBytesEveryTime()
    {
        QFETCH(PictureFormat, format);
        const QByteArray first = KeyboardPictureBytes(EdgeLayout(), QStringLiteral("ru.ukb"), format);
        QVERIFY(!first.isEmpty());
        QCOMPARE(KeyboardPictureBytes(EdgeLayout(), QStringLiteral("ru.ukb"), format), first);
        // No clock in the file: two runs a second apart would differ by it.
        QVERIFY(!first.contains("CreationDate"));
        QVERIFY(!first.contains(QDate::currentDate().toString(QStringLiteral("yyyyMMdd")).toLatin1()));
    }

    void saveWritesTheFileOrTellsWhy()
    {
        QTemporaryDir dir;
        const KeyTableArray table = EdgeLayout();
        const QString path = dir.filePath(QStringLiteral("ru.svg"));
        SaveKeyboardPicture(table, QStringLiteral("ru.ukb"), PictureFormat::Svg, path);
        QCOMPARE(ReadAll(path), KeyboardPictureBytes(table, QStringLiteral("ru.ukb"), PictureFormat::Svg));

        QVERIFY(WriteAll(dir.filePath(QStringLiteral("file")), QByteArray()));
        QCOMPARE(ErrorOf([&] {
                     SaveKeyboardPicture(table, QStringLiteral("ru.ukb"), PictureFormat::Png,
                                         dir.filePath(QStringLiteral("file/ru.png")));
                 }),
                 u"Invalid filename");
        QCOMPARE(Entries(dir.path()), (QStringList{QStringLiteral("file"), QStringLiteral("ru.svg")}));
    }
};

TAVO_TEST(TestKeyboardPicture)
#include "tst_keyboardpicture.moc"
