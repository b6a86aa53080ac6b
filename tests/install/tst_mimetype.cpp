// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The installed MIME package, as a desktop sees it: check-install.sh runs this with
// XDG_DATA_DIRS naming the installed share folder first.
#include "keytable.h"
#include "linebuffer.h"
#include "testhelpers.h"
#include "testregistry.h"
#include "ukbfile.h"

#include <QMimeDatabase>
#include <QTemporaryDir>
#include <QTest>

#include <utility>

namespace {

const QString UkbType = QStringLiteral(TAVO_MIME_TYPE);

// A layout as the editor saves it.
QByteArray SavedLayout()
{
    KeyTableArray table;
    LoadDefaults(table);
    return UkbFileBytes(table);
}

// The same text with a big-endian byte-order mark, which the load reads too.
QByteArray BigEndian(const QByteArray &littleEndian)
{
    QByteArray swapped = littleEndian;
    for (qsizetype i = 0; i + 1 < swapped.size(); i += 2)
        std::swap(swapped[i], swapped[i + 1]);
    return swapped;
}

} // namespace

class TestMimeType : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void theTypeIsInstalled()
    {
        const QMimeType type = QMimeDatabase().mimeTypeForName(UkbType);
        QVERIFY2(type.isValid(), qPrintable(qEnvironmentVariable("XDG_DATA_DIRS")));
        QCOMPARE(type.comment(), u"Tavo keyboard layout");
        QCOMPARE(type.globPatterns(), QStringList{"*.ukb"});
        QVERIFY(type.inherits(QStringLiteral("text/plain")));
    }

    void fileType_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("isLayout");
        const QByteArray saved = SavedLayout();
        QByteArray capsFirst = saved;
        capsFirst[2] = '1';  // the first key's Caps Lock flag instead of the empty marker
        capsFirst.remove(4, 2);
        QTest::newRow("saved layout, .ukb") << "my.ukb" << saved << true;
        QTest::newRow("saved layout, no extension") << "my-layout" << saved << true;
        QTest::newRow("first key with its Caps Lock flag, no extension") << "caps" << capsFirst << true;
        QTest::newRow("big-endian layout, no extension") << "be" << BigEndian(saved) << true;
        QTest::newRow("empty .ukb (named by its extension)") << "empty.ukb" << QByteArray() << true;
        QTest::newRow("other UTF-16 text") << "notes" << Utf16LeFileBytes({QStringLiteral("<>hello")}) << false;
        QTest::newRow("UTF-8 text") << "readme" << QByteArray("<>\t<>\t\r\n") << false;
    }

    void fileType()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(bool, isLayout);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        QVERIFY(WriteAll(path, content));
        const QString found = QMimeDatabase().mimeTypeForFile(path).name();
        QCOMPARE(found == UkbType, isLayout);
    }
};

TAVO_TEST(TestMimeType)
#include "tst_mimetype.moc"
