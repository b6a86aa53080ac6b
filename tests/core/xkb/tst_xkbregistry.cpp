// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "testhelpers.h"
#include "testregistry.h"
#include "xkbregistry.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

namespace {

const QByteArray UserRules = R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE xkbConfigRegistry SYSTEM "xkb.dtd">
<xkbConfigRegistry version="1.1">
  <layoutList>
    <layout>
      <configItem>
        <name>tavotest</name>
        <description>Tavo test layout</description>
        <languageList><iso639Id>rus</iso639Id></languageList>
      </configItem>
    </layout>
  </layoutList>
</xkbConfigRegistry>
)";

std::optional<XkbLayoutInfo> Find(const QList<XkbLayoutInfo> &layouts, const QString &fullName)
{
    for (const XkbLayoutInfo &info : layouts) {
        if (info.fullName() == fullName)
            return info;
    }
    return std::nullopt;
}

} // namespace

class TestXkbRegistry : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        // The user's layouts come from here; the real ones are left alone.
        QVERIFY(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
        QVERIFY(QDir().mkpath(m_config.filePath(QStringLiteral("xkb/rules"))));
        QVERIFY(WriteAll(m_config.filePath(QStringLiteral("xkb/rules/evdev.xml")), UserRules));
    }

    void systemLayouts_data()
    {
        QTest::addColumn<QString>("fullName");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("language");
        QTest::newRow("layout") << "ru" << "Russian" << "rus";
        QTest::newRow("variant") << "de(neo)" << "German (Neo 2)" << "deu";
        QTest::newRow("exotic variant") << "us(3l)" << "English (3l)" << "eng";
    }

    void systemLayouts()
    {
        QFETCH(QString, fullName);
        QFETCH(QString, description);
        QFETCH(QString, language);
        for (const XkbLayoutSource source : {XkbLayoutSource::System, XkbLayoutSource::SystemAndUser}) {
            const QList<XkbLayoutInfo> layouts = XkbRegistryLayouts(source);
            const std::optional<XkbLayoutInfo> info = Find(layouts, fullName);
            QVERIFY2(info, qPrintable(fullName));
            QCOMPARE(info->description, description);
            QVERIFY(info->languages.contains(language));
        }
    }

    void userLayoutsOnlyWhenAsked()
    {
        const QString name = QStringLiteral("tavotest");
        QVERIFY(!Find(XkbRegistryLayouts(XkbLayoutSource::System), name));
        const std::optional<XkbLayoutInfo> info = Find(XkbRegistryLayouts(XkbLayoutSource::SystemAndUser), name);
        QVERIFY(info);
        QCOMPARE(info->description, u"Tavo test layout");
        QCOMPARE(info->languages, QStringList{QStringLiteral("rus")});
    }

private:
    QTemporaryDir m_config;
};

TAVO_TEST(TestXkbRegistry)
#include "tst_xkbregistry.moc"
