// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the built tavo-convert for pictures and compares its output with the core's bytes,
// drawn in this process, and the SVG with its golden file: the converter draws what the
// editor draws.
#include "convertrun.h"
#include "goldenfile.h"
#include "keyboardpicture.h"
#include "testhelpers.h"
#include "testlayouts.h"
#include "testregistry.h"

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

} // namespace

Q_DECLARE_METATYPE(PictureFormat)

class TestConvertPicture : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString input;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        input = dir.filePath(QStringLiteral("edge.ukb"));
        QVERIFY(WriteAll(input, ReadAll(GoldenFilePath(QStringLiteral("edge.ukb")))));
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
        // Titled with the input's file name; the SVG is the golden file.
        if (format == PictureFormat::Svg)
            TAVO_COMPARE_GOLDEN(ReadAll(output), QStringLiteral("edge.svg"));
        QCOMPARE(ReadAll(output), KeyboardPictureBytes(EdgeLayout(), QStringLiteral("edge.ukb"), format));

        // From standard input there is no name.
        const Run piped = ConvertHeadless({QStringLiteral("--to"), name, QStringLiteral("-"), QStringLiteral("-")},
                                  ReadAll(input));
        QCOMPARE(piped.exitCode, 0);
        QCOMPARE(piped.out, KeyboardPictureBytes(EdgeLayout(), QStringLiteral("Untitled"), format));
    }
};

TAVO_TEST(TestConvertPicture)
#include "tst_convertpicture.moc"
