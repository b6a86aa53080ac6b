// Runs the built tavo-convert for pictures and compares its output with the core's bytes,
// drawn in this process: the converter draws what the editor draws.
#include "convertrun.h"
#include "keyboardpicture.h"
#include "testhelpers.h"
#include "testlayouts.h"
#include "testregistry.h"
#include "ukbfile.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The converter needs no display and says nothing of Qt's start-up on a bare machine.
Run ConvertHeadless(const QStringList &arguments, const QByteArray &input = QByteArray())
{
    RunOptions options;
    options.input = input;
    options.environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    options.environment.remove(QStringLiteral("DISPLAY"));
    options.environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    return Convert(arguments, options);
}

// Cyrillic letters with their capitals, Latin letters on AltGr, "&", "<" and a combining mark.
KeyTableArray SampleTable()
{
    KeyTableArray table = DefaultTable();
    s_key &q = KeyByNumber(table, 14);
    q.caps = QStringLiteral("1");
    q.norm_char = QStringLiteral("\u0439");
    q.shift_char = QStringLiteral("\u0419");
    q.altgr_char = QStringLiteral("q");
    q.altgr_shift_char = QStringLiteral("<");
    s_key &seven = KeyByNumber(table, 8);
    seven.norm_char = QStringLiteral("7");
    seven.shift_char = QStringLiteral("&&");
    seven.altgr_char = QStringLiteral("\u0301");
    return table;
}

} // namespace

Q_DECLARE_METATYPE(PictureFormat)

class TestConvertPicture : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString input;
    KeyTableArray loaded;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        input = dir.filePath(QStringLiteral("sample.ukb"));
        QVERIFY(WriteAll(input, UkbFileBytes(SampleTable())));
        loaded = DefaultTable();
        ApplyUkb(loaded, ReadUkbFile(input));
    }

    void pictures_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<PictureFormat>("format");
        QTest::newRow("svg") << "svg" << PictureFormat::Svg;
        QTest::newRow("png") << "png" << PictureFormat::Png;
        QTest::newRow("pdf") << "pdf" << PictureFormat::Pdf;
    }

    void pictures()
    {
        QFETCH(QString, name);
        QFETCH(PictureFormat, format);
        const QString output = dir.filePath(QStringLiteral("out.") + name);
        const Run run = ConvertHeadless({QStringLiteral("--to"), name, input, output});
        QCOMPARE(run.err, QByteArray());
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.isEmpty());
        // Titled with the input's file name.
        QCOMPARE(ReadAll(output), KeyboardPictureBytes(loaded, QStringLiteral("sample.ukb"), format));

        // From standard input there is no name.
        const Run piped = ConvertHeadless({QStringLiteral("--to"), name, QStringLiteral("-"), QStringLiteral("-")},
                                  ReadAll(input));
        QCOMPARE(piped.exitCode, 0);
        QCOMPARE(piped.out, KeyboardPictureBytes(loaded, QStringLiteral("Untitled"), format));
    }
};

TAVO_TEST(TestConvertPicture)
#include "tst_convertpicture.moc"
