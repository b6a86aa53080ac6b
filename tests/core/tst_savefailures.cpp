#include "klcfile.h"
#include "layoutxml.h"
#include "testhelpers.h"
#include "testlayouts.h"
#include "testregistry.h"
#include "ukbfile.h"
#include "xkbsymbols.h"

#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

namespace {

enum class Format { Ukb, Klc, LayoutClassic, LayoutNew, Xkb };

// The save of a format, as the editor and the converter both call it.
void Save(Format format, KeyTableArray &table, const QString &path)
{
    switch (format) {
    case Format::Ukb: SaveUkbFile(table, path); break;
    case Format::Klc: SaveKlcFile(table, KlcProperties{}, path); break;
    case Format::LayoutClassic: SaveLayoutClassic(table, path); break;
    case Format::LayoutNew: SaveLayoutNew(table, path); break;
    case Format::Xkb: SaveXkbFile(table, path); break;
    }
}

} // namespace

// How each format reports a failed write. Which failures there are and that none of them
// loses the old file is the rule of WriteFileAtomically; here each format shows that it
// writes through it, with its own message.
class TestSaveFailures : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void failedSaveKeepsTheOldFile_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("message");  // %1: the path as it was given
        QTest::newRow("ukb") << int(Format::Ukb) << "layout.ukb" << "Cannot create file %1";
        QTest::newRow("klc") << int(Format::Klc) << "layout00.klc" << "Cannot create file %1";
        QTest::newRow("layout, classic") << int(Format::LayoutClassic) << "ru.layout" << "Disk full";
        QTest::newRow("layout, new") << int(Format::LayoutNew) << "ru.layout" << "Disk full";
        QTest::newRow("xkb") << int(Format::Xkb) << "ru.xkb" << "Disk full";
    }

    // A file-size limit below the new file's size makes the write fail halfway, for root
    // as for anyone. The path is relative, as the KLC export gives it.
    void failedSaveKeepsTheOldFile()
    {
        QFETCH(int, format);
        QFETCH(QString, fileName);
        QFETCH(QString, message);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        const auto restore = qScopeGuard([&previous] { QDir::setCurrent(previous); });
        QVERIFY(WriteAll(fileName, "old content"));
        KeyTableArray table = DefaultTable();

        QString error;
        {
            const FileSizeLimit limit(1000);
            QVERIFY(limit.isActive());
            error = ErrorOf([&] { Save(Format(format), table, fileName); });
        }
        QCOMPARE(error, message.arg(fileName));
        QCOMPARE(ReadAll(fileName), QByteArray("old content"));
        QCOMPARE(Entries(dir.path()), QStringList{fileName});
    }
};

TAVO_TEST(TestSaveFailures)
#include "tst_savefailures.moc"
