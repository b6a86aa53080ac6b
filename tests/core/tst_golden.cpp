// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileformats.h"
#include "goldenfile.h"
#include "testlayouts.h"
#include "testregistry.h"

#include <QTemporaryDir>
#include <QTest>

// Every format for every sample layout, as its save writes it to <sample>.<suffix>, byte for
// byte as tests/data/golden/<sample>.<format> holds it. PNG and PDF have none: their bytes
// come from the fonts and the rasteriser of the machine.
class TestGolden : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void savedFile_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<int>("sample");
        for (const FileFormat &format : FileFormats()) {
            if (format.picture && format.name != u"svg")
                continue;
            for (int sample = 0; sample < int(SampleLayouts.size()); ++sample)
                QTest::addRow("%s.%s", SampleLayouts[sample].name, qPrintable(format.name.toString()))
                    << format.name.toString() << sample;
        }
    }

    void savedFile()
    {
        QFETCH(QString, format);
        QFETCH(int, sample);
        const FileFormat *writer = FileFormatNamed(format);
        const QString name = QString::fromLatin1(SampleLayouts[sample].name);
        KeyTableArray table = SampleLayouts[sample].make();
        ExportOptions options;
        options.title = name + QStringLiteral(".ukb");  // as the converter titles <sample>.ukb
        QTemporaryDir dir;
        const QString path = dir.filePath(name + u'.' + writer->suffix.toString());
        writer->save(table, options, path);
        TAVO_COMPARE_GOLDEN(ReadAll(path), QString::fromLatin1(QTest::currentDataTag()));
    }
};

TAVO_TEST(TestGolden)
#include "tst_golden.moc"
