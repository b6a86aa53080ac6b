// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "evdevrules.h"
#include "testhelpers.h"
#include "testregistry.h"

#include <QTest>

namespace {

EvdevLayoutEntry LayoutEntry(const QString &name, const QString &description)
{
    EvdevLayoutEntry entry;
    entry.name = name;
    entry.description = description;
    return entry;
}

// Rules with these bytes as the content of their one layout list.
QByteArray WithList(const QByteArray &content)
{
    return "<xkbConfigRegistry><layoutList>" + content + "</layoutList></xkbConfigRegistry>";
}

QByteArray Layout(const QByteArray &name, const QByteArray &description, const QByteArray &more = {})
{
    return "<layout>" + more + "<configItem><name>" + name + "</name><description>" + description
        + "</description></configItem></layout>";
}

// Each layout as "name=description", Tavo's with the folders their comment names.
QStringList Listed(const EvdevRules &rules)
{
    QStringList listed;
    for (const EvdevLayoutEntry &entry : rules.layouts()) {
        listed.append(entry.name + u'=' + entry.description);
        if (entry.installedByTavo) {
            listed.last() += entry.createdFolders.isEmpty() ? QStringLiteral(" (Tavo's)")
                                                            : " (Tavo's: " + entry.createdFolders.join(u' ') + ')';
        }
    }
    return listed;
}

const QString Name = QStringLiteral("tavotry");
const QString Description = QStringLiteral("Try <&> \u0419");

// The file Tavo creates, with its entry for Name.
const QByteArray CreatedWithEntry =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<!DOCTYPE xkbConfigRegistry SYSTEM \"xkb.dtd\">\n"
    "<!-- Created by Tavo for the layouts it installs for this user -->\n"
    "<xkbConfigRegistry version=\"1.1\">\n"
    "  <layoutList>\n"
    "    <layout>\n"
    "      <!-- Installed by Tavo; it created the folders: xkb xkb/rules -->\n"
    "      <configItem>\n"
    "        <name>tavotry</name>\n"
    "        <description>Try &lt;&amp;&gt; &#x419;</description>\n"
    "      </configItem>\n"
    "    </layout>\n"
    "  </layoutList>\n"
    "</xkbConfigRegistry>\n";

// Tavo's entry for Name as CreatedWithEntry holds it, at another indent and line break.
QByteArray Entry(const QByteArray &indent, const QByteArray &nl = "\n")
{
    const qsizetype begin = CreatedWithEntry.indexOf("<layout>");
    const qsizetype end = CreatedWithEntry.indexOf("</layout>") + sizeof("</layout>") - 1;
    return CreatedWithEntry.mid(begin, end - begin).replace("\n    ", nl + indent);
}

// A layout list Tavo adds to the root, with its entry for Name.
QByteArray AddedList()
{
    return "\n  <!-- Layout list added by Tavo -->\n  <layoutList>\n    " + Entry("    ") + "\n  </layoutList>";
}

} // namespace

class TestEvdevRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void layoutsOfTheText_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("layouts");
        QTest::addColumn<bool>("createdByTavo");
        QTest::newRow("file Tavo creates") << EvdevRules::newFileText() << QStringList{} << true;
        QTest::newRow("entries of Tavo's and the user's")
            << WithList(Layout("mine", " My own ") + Layout("a", "A", "<!-- Installed by Tavo -->")
                        + Layout("b", "B", "<!-- Installed by Tavo; it created the folders: xkb/rules -->"))
            << QStringList{"mine=My own", "a=A (Tavo's)", "b=B (Tavo's: xkb/rules)"} << false;
        QTest::newRow("no layout list") << QByteArray("<xkbConfigRegistry/>") << QStringList{} << false;
        QTest::newRow("empty layout list element")
            << QByteArray("<xkbConfigRegistry><layoutList/></xkbConfigRegistry>") << QStringList{} << false;
        QTest::newRow("variant inside a layout")
            << WithList(Layout("a", "A", "<variantList><variant><configItem><name>v</name>"
                                         "</configItem></variant></variantList>"))
            << QStringList{"a=A"} << false;
        QTest::newRow("comment") << WithList("<!-- " + Layout("hidden", "H") + " -->") << QStringList{} << false;
        QTest::newRow("CDATA") << WithList(Layout("a", "A", "<x><![CDATA[it's </layout>]]></x>"))
                               << QStringList{"a=A"} << false;
        QTest::newRow("processing instruction")
            << WithList("<?pi " + Layout("hidden", "H") + "?>") << QStringList{} << false;
        QTest::newRow("declaration with a subset")
            << "<!DOCTYPE xkbConfigRegistry [<!ENTITY e \"]>\">]>" + WithList(Layout("a", "A"))
            << QStringList{"a=A"} << false;
        QTest::newRow("attribute value holding >")
            << WithList(Layout("a", "A", "<x y=\">\"/>")) << QStringList{"a=A"} << false;
    }

    void layoutsOfTheText()
    {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, layouts);
        QFETCH(bool, createdByTavo);
        const EvdevRules rules(text);
        QCOMPARE(Listed(rules), layouts);
        QCOMPARE(rules.createdByTavo(), createdByTavo);
    }

    void characterReferences_data()
    {
        QTest::addColumn<QByteArray>("description");
        QTest::addColumn<QString>("decoded");
        QTest::newRow("named") << QByteArray("&lt;&gt;&amp;&quot;&apos;") << "<>&\"'";
        QTest::newRow("hexadecimal and decimal") << QByteArray("&#x419;&#x1F600;&#1049;") << "\u0419\U0001F600\u0419";
        QTest::newRow("leading zeros") << QByteArray("&#x000000041;&#0000000065;") << "AA";
        // Text that looks like a reference is only reachable inside CDATA, which stays as written.
        QTest::newRow("hexadecimal with 0x") << QByteArray("<![CDATA[&#x0x41;]]>") << "<![CDATA[&#x0x41;]]>";
        QTest::newRow("decimal with a sign") << QByteArray("<![CDATA[&#+65;]]>") << "<![CDATA[&#+65;]]>";
        QTest::newRow("beyond Unicode") << QByteArray("<![CDATA[&#x110000;&#1114112;]]>")
                                        << "<![CDATA[&#x110000;&#1114112;]]>";
    }

    void characterReferences()
    {
        QFETCH(QByteArray, description);
        QFETCH(QString, decoded);
        QCOMPARE(Listed(EvdevRules(WithList(Layout("a", description)))), QStringList{"a=" + decoded});
    }

    void unusableTexts_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("reason");
        QTest::newRow("not well-formed")
            << QByteArray("<xkbConfigRegistry><layoutList>")
            << "it is not well-formed XML (line 1: ";  // then QXmlStreamReader's own words
        QTest::newRow("root of another format") << QByteArray("<html/>")
                                                << "it is not an XKB rules file (its root is <html>)";
        QTest::newRow("someone else's layout of the name") << WithList(Layout("tavotry", "Mine"))
                                                           << "it lists a layout \"tavotry\" that Tavo did not install";
        QTest::newRow("empty layout list element")
            << QByteArray("<xkbConfigRegistry><layoutList/></xkbConfigRegistry>")
            << "its layout list is the empty element <layoutList/>; "
               "write it as <layoutList></layoutList> to add layouts";
    }

    void unusableTexts()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, reason);
        const QString message = ErrorOf([&] { EvdevRules(text).withLayout(LayoutEntry(Name, Description), {}); });
        QVERIFY2(message.startsWith(reason), qPrintable(message));
    }

    // The entry goes in, and taking it out again gives back the text before, byte for byte.
    void addedAndRemoved_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("withEntry");
        QTest::addColumn<bool>("fileGoes");
        QTest::newRow("file Tavo creates") << EvdevRules::newFileText() << CreatedWithEntry << true;
        const QByteArray other = QByteArray(CreatedWithEntry).replace("tavotry", "other");
        QTest::newRow("file Tavo created, with another layout")
            << other << QByteArray(other).replace("<layoutList>", "<layoutList>\n    " + Entry("    ")) << false;
        QTest::newRow("user's list, tabs and CR LF")
            << QByteArray("<xkbConfigRegistry>\r\n\t<layoutList>\r\n\t</layoutList>\r\n</xkbConfigRegistry>\r\n")
            << "<xkbConfigRegistry>\r\n\t<layoutList>\r\n\t  " + Entry("\t  ", "\r\n")
                   + "\r\n\t</layoutList>\r\n</xkbConfigRegistry>\r\n"
            << false;
        QTest::newRow("user's list on one line")
            << QByteArray("<xkbConfigRegistry> <layoutList></layoutList></xkbConfigRegistry>")
            << "<xkbConfigRegistry> <layoutList>\n  " + Entry("  ") + "</layoutList></xkbConfigRegistry>" << false;
        QTest::newRow("list added after the model list")
            << QByteArray("<xkbConfigRegistry>\n  <modelList>\n  </modelList>\n  <optionList/>\n</xkbConfigRegistry>\n")
            << "<xkbConfigRegistry>\n  <modelList>\n  </modelList>" + AddedList()
                   + "\n  <optionList/>\n</xkbConfigRegistry>\n"
            << false;
        QTest::newRow("list added after an empty model list element")
            << QByteArray("<xkbConfigRegistry>\n  <modelList/>\n</xkbConfigRegistry>\n")
            << "<xkbConfigRegistry>\n  <modelList/>" + AddedList() + "\n</xkbConfigRegistry>\n" << false;
        QTest::newRow("list added first in the root")
            << QByteArray("<xkbConfigRegistry>\n  <optionList/>\n</xkbConfigRegistry>\n")
            << "<xkbConfigRegistry>" + AddedList() + "\n  <optionList/>\n</xkbConfigRegistry>\n" << false;
    }

    void addedAndRemoved()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, withEntry);
        QFETCH(bool, fileGoes);
        QCOMPARE(EvdevRules(before).withLayout(LayoutEntry(Name, Description), {"xkb", "xkb/rules"}), withEntry);
        const std::optional<QByteArray> removed = EvdevRules(withEntry).withoutLayout(Name);
        QCOMPARE(removed, fileGoes ? std::nullopt : std::optional(before));
    }

    void secondEntryReplacesTavosFirst()
    {
        const QByteArray replaced =
            EvdevRules(CreatedWithEntry).withLayout(LayoutEntry(Name, QStringLiteral("Second")), {"xkb/symbols"});
        QCOMPARE(replaced, QByteArray(CreatedWithEntry)
                               .replace("folders: xkb xkb/rules", "folders: xkb/symbols xkb xkb/rules")
                               .replace("Try &lt;&amp;&gt; &#x419;", "Second"));
    }

    void removingLeavesTheUsersLayout()
    {
        const QByteArray text = WithList(Layout("tavotry", "Mine"));
        QCOMPARE(EvdevRules(text).withoutLayout(Name), text);
    }
};

TAVO_TEST(TestEvdevRules)
#include "tst_evdevrules.moc"
