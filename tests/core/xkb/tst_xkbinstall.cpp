// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "testhelpers.h"
#include "testlayouts.h"
#include "testregistry.h"
#include "xkbcompose.h"
#include "xkbinstall.h"
#include "xkbkeymap.h"
#include "xkbregistry.h"
#include "xkbsymbols.h"

#include <QDirIterator>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <xkbcommon/xkbcommon-compose.h>
#include <xkbcommon/xkbcommon.h>

#include <map>
#include <sys/stat.h>
#include <optional>

namespace {

// A user's evdev.xml with a layout of their own and a variant, in CR LF lines.
const QByteArray OwnRules =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    "<xkbConfigRegistry version=\"1.1\">\r\n"
    "\t<!-- mine -->\r\n"
    "\t<layoutList>\r\n"
    "\t\t<layout>\r\n"
    "\t\t\t<configItem><name>mine</name><description>My own</description></configItem>\r\n"
    "\t\t\t<variantList><variant><configItem><name>x</name><description>My X</description>"
    "</configItem></variant></variantList>\r\n"
    "\t\t</layout>\r\n"
    "\t</layoutList>\r\n"
    "\t<optionList/>\r\n"
    "</xkbConfigRegistry>\r\n";

// One with options only: the layout list has to be added.
const QByteArray OptionsOnly =
    "<?xml version=\"1.0\"?>\n"
    "<xkbConfigRegistry>\n"
    "  <modelList/>\n"
    "  <optionList>\n"
    "    <group><configItem><name>mygroup</name><description>Mine</description></configItem>\n"
    "      <option><configItem><name>mygroup:one</name><description>One</description></configItem></option>\n"
    "    </group>\n"
    "  </optionList>\n"
    "</xkbConfigRegistry>\n";

const QString LayoutName = QStringLiteral("tavotry");

// Every file and folder under a folder, with the files' bytes.
std::map<QString, QByteArray> Snapshot(const QString &root)
{
    std::map<QString, QByteArray> files;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (it.fileName() == u".tavo-lock")  // the folder's lock, no content
            continue;
        files[QDir(root).relativeFilePath(path)] = it.fileInfo().isDir() ? QByteArray("<dir>")
            : it.fileInfo().isFile()                                          ? ReadAll(path)
                                                                              : QByteArray("<other>");
    }
    return files;
}

std::optional<XkbLayoutInfo> Listed(const QString &name)
{
    for (const XkbLayoutInfo &info : XkbRegistryLayouts(XkbLayoutSource::SystemAndUser)) {
        if (info.fullName() == name)
            return info;
    }
    return std::nullopt;
}

// The bytes the install added: what lies between the common start and the common end.
QByteArray Inserted(const QByteArray &before, const QByteArray &after)
{
    qsizetype prefix = 0;
    while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < before.size() - prefix && suffix < after.size() - prefix
           && before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    if (prefix + suffix != before.size())
        return QByteArray("<changed outside the entry>");
    return after.mid(prefix, after.size() - prefix - suffix);
}

} // namespace

class TestXkbInstall : public QObject
{
    Q_OBJECT

    std::optional<QTemporaryDir> m_config;

    QString xkb(const QString &path = QString()) const
    {
        return m_config->filePath(QStringLiteral("xkb/") + path);
    }
    QString rules() const { return xkb(QStringLiteral("rules/evdev.xml")); }
    void writeRules(const QByteArray &bytes)
    {
        QVERIFY(QDir().mkpath(xkb(QStringLiteral("rules"))));
        QVERIFY(WriteAll(rules(), bytes));
    }

private Q_SLOTS:
    void init()
    {
        m_config.emplace();
        QVERIFY(m_config->isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config->path()));
    }
    void cleanup() { m_config.reset(); }

    void installedLayoutIsListed()
    {
        const QString description = QStringLiteral("Tavo <try> & \u0419");
        InstallXkbLayout(RussianLayout(), LayoutName, description);
        const std::optional<XkbLayoutInfo> info = Listed(LayoutName);
        QVERIFY(info);
        QCOMPARE(info->description, description);
        QCOMPARE(InstalledXkbLayouts(), (QList<XkbInstalledLayout>{{LayoutName, description, {}, {}}}));
        QCOMPARE(ReadAll(xkb(QStringLiteral("symbols/") + LayoutName)), XkbSymbolsText(RussianLayout(), LayoutName));
    }

    void installedLayoutTypesTheTable()
    {
        const KeyTableArray table = RussianLayout();
        InstallXkbLayout(table, LayoutName, QString());
        // As a desktop compiles it: rules evdev, model pc105, the default include paths.
        XkbContextPtr context(xkb_context_new(XKB_CONTEXT_NO_FLAGS));
        QVERIFY(context);
        const QByteArray layout = LayoutName.toLatin1();
        const xkb_rule_names names = {"evdev", "pc105", layout.constData(), "", ""};
        XkbKeymapPtr keymap(xkb_keymap_new_from_names(context.get(), &names, XKB_KEYMAP_COMPILE_NO_FLAGS));
        QVERIFY(keymap);
        for (int number = 1; number <= KeyCount; ++number) {
            const s_key &key = KeyByNumber(table, number);
            const xkb_keycode_t keycode = xkb_keymap_key_by_name(keymap.get(), XkbKeyName(number).toLatin1().constData());
            const int levels = number == SpaceKey ? 1 : 4;
            for (int level = 0; level < levels; ++level) {
                const xkb_keysym_t *syms = nullptr;
                QCOMPARE(xkb_keymap_key_get_syms_by_level(keymap.get(), keycode, 0, level, &syms), 1);
                const uint code = CodeOf(key, ShiftState(level + 1)).toUInt(nullptr, 16);
                QCOMPARE(xkb_keysym_to_utf32(syms[0]), code);
            }
        }
    }

    // The dead keys' block goes to the user's compose file, where libxkbcommon reads it,
    // and the uninstall takes out exactly the block.
    void deadKeysGoToTheUserComposeFile_data()
    {
        QTest::addColumn<QString>("existing");
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("written");
        QTest::newRow("none: created in the home folder") << QString() << QByteArray() << "home/.XCompose";
        QTest::newRow("home folder's kept") << "home/.XCompose" << QByteArray("# mine\n") << "home/.XCompose";
        QTest::newRow("config folder's preferred") << "XCompose" << QByteArray("include \"%L\"\n") << "XCompose";
    }

    void deadKeysGoToTheUserComposeFile()
    {
        QFETCH(QString, existing);
        QFETCH(QByteArray, before);
        QFETCH(QString, written);
        const QByteArray home = qgetenv("HOME");
        const auto restoreHome = qScopeGuard([&] { qputenv("HOME", home); });
        QVERIFY(QDir().mkpath(m_config->filePath(QStringLiteral("home"))));
        qputenv("HOME", QFile::encodeName(m_config->filePath(QStringLiteral("home"))));
        if (!existing.isEmpty())
            QVERIFY(WriteAll(m_config->filePath(existing), before));

        const KeyTableArray table = DeadKeyLayout();
        InstallXkbLayout(table, LayoutName, QString());
        const QByteArray text = ReadAll(m_config->filePath(written));
        QVERIFY2(text.endsWith(XkbComposeBlock(table, LayoutName)), text);
        XkbContextPtr context(xkb_context_new(XKB_CONTEXT_NO_FLAGS));
        const XkbComposeTablePtr compose(
            xkb_compose_table_new_from_locale(context.get(), "C.UTF-8", XKB_COMPOSE_COMPILE_NO_FLAGS));
        QVERIFY(compose);
        const XkbComposeStatePtr state(xkb_compose_state_new(compose.get(), XKB_COMPOSE_STATE_NO_FLAGS));
        xkb_compose_state_feed(state.get(), XkbDeadKeysyms(table, LayoutName)[IsoKey - 1][3]);
        xkb_compose_state_feed(state.get(), XKB_KEY_space);
        QCOMPARE(xkb_compose_state_get_status(state.get()), XKB_COMPOSE_COMPOSED);

        UninstallXkbLayout(LayoutName);
        QCOMPARE(ReadAll(m_config->filePath(written)), existing.isEmpty() ? QByteArray("include \"%L\"\n") : before);
    }

    void secondInstallReplacesItsEntry()
    {
        writeRules(OwnRules);
        InstallXkbLayout(DefaultTable(), LayoutName, QStringLiteral("First"));
        InstallXkbLayout(RussianLayout(), LayoutName, QStringLiteral("Second"));
        QCOMPARE(InstalledXkbLayouts(), (QList<XkbInstalledLayout>{{LayoutName, QStringLiteral("Second"), {}, {}}}));
        QCOMPARE(ReadAll(rules()).count("<name>" + LayoutName.toLatin1() + "</name>"), 1);
        QCOMPARE(ReadAll(xkb(QStringLiteral("symbols/") + LayoutName)), XkbSymbolsText(RussianLayout(), LayoutName));
        QCOMPARE(Listed(LayoutName)->description, u"Second");
    }

    void existingRulesAreKept_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QStringList>("othersListed");
        QTest::newRow("layout list, tabs and CR LF") << OwnRules << QStringList{"mine", "mine(x)"};
        QTest::newRow("no layout list") << OptionsOnly << QStringList{};
    }

    void existingRulesAreKept()
    {
        QFETCH(QByteArray, before);
        QFETCH(QStringList, othersListed);
        writeRules(before);
        const std::map<QString, QByteArray> folder = Snapshot(m_config->path());
        InstallXkbLayout(RussianLayout(), LayoutName, QStringLiteral("Try"));

        const QByteArray inserted = Inserted(before, ReadAll(rules()));
        QVERIFY2(inserted.contains("<name>tavotry</name>"), inserted.constData());
        QVERIFY(Listed(LayoutName));
        for (const QString &other : othersListed)
            QVERIFY2(Listed(other), qPrintable(other));

        UninstallXkbLayout(LayoutName);
        QCOMPARE(ReadAll(rules()), before);
        QVERIFY(Snapshot(m_config->path()) == folder);
    }

    void uninstallRestoresTheFolder_data()
    {
        QTest::addColumn<QStringList>("folders");
        QTest::addColumn<QByteArray>("rulesBefore");
        QTest::addColumn<QStringList>("othersInstalled");
        QTest::newRow("no xkb folder") << QStringList{} << QByteArray() << QStringList{};
        QTest::newRow("folders of the user") << QStringList{"xkb/symbols", "xkb/keycodes"} << QByteArray() << QStringList{};
        QTest::newRow("another layout of Tavo's") << QStringList{} << QByteArray() << QStringList{"other"};
        QTest::newRow("user's rules") << QStringList{} << OwnRules << QStringList{"other"};
    }

    void uninstallRestoresTheFolder()
    {
        QFETCH(QStringList, folders);
        QFETCH(QByteArray, rulesBefore);
        QFETCH(QStringList, othersInstalled);
        for (const QString &folder : folders)
            QVERIFY(QDir().mkpath(m_config->filePath(folder)));
        if (!rulesBefore.isNull())
            writeRules(rulesBefore);
        for (const QString &other : othersInstalled)
            InstallXkbLayout(DefaultTable(), other, QString());
        const std::map<QString, QByteArray> before = Snapshot(m_config->path());

        InstallXkbLayout(RussianLayout(), LayoutName, QStringLiteral("Try"));
        QVERIFY(Snapshot(m_config->path()) != before);
        UninstallXkbLayout(LayoutName);
        QVERIFY(Snapshot(m_config->path()) == before);

        // The install's own evdev.xml goes with the last layout it lists.
        for (const QString &other : othersInstalled)
            UninstallXkbLayout(other);
        if (rulesBefore.isNull() && folders.isEmpty())
            QVERIFY(Entries(m_config->path()).isEmpty());
    }

    void refusedNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("problem");
        QTest::newRow("system layout") << "ru" << "The system already has an XKB layout \"ru\" (Russian)";
        QTest::newRow("system symbols") << "pc" << "The system's XKB data already have symbols named \"pc\"";
        QTest::newRow("invalid") << "My Layout" << "Invalid XKB layout name \"My Layout\"";
        QTest::newRow("user's own layout") << "mine" << "This user already has an XKB layout \"mine\" that Tavo did not install";
        QTest::newRow("user's own symbols") << "solo" << "This user already has an XKB layout \"solo\" that Tavo did not install";
    }

    void refusedNames()
    {
        QFETCH(QString, name);
        QFETCH(QString, problem);
        writeRules(OwnRules);
        QVERIFY(QDir().mkpath(xkb(QStringLiteral("symbols"))));
        QVERIFY(WriteAll(xkb(QStringLiteral("symbols/solo")), "mine"));
        const std::map<QString, QByteArray> before = Snapshot(m_config->path());
        QVERIFY2(XkbInstallNameProblem(name).startsWith(problem), qPrintable(XkbInstallNameProblem(name)));
        QVERIFY(ErrorOf([&] { InstallXkbLayout(RussianLayout(), name, QString()); }).startsWith(problem));
        QVERIFY(Snapshot(m_config->path()) == before);
    }

    void failuresChangeNothing_data()
    {
        QTest::addColumn<QByteArray>("rulesBefore");
        QTest::addColumn<QString>("fileInTheWay");
        QTest::addColumn<QString>("error");
        QTest::newRow("xkb folder is a file") << QByteArray() << "xkb" << "Cannot create folder";
        // The xkb folder is made by then, and removed again.
        QTest::newRow("rules folder is a file") << QByteArray() << "xkb/rules" << "Cannot create folder";
        QTest::newRow("rules file is a FIFO") << QByteArray("fifo") << QString() << "Cannot use";
        QTest::newRow("rules file too large") << QByteArray(MaxUserRulesSize + 1, ' ') << QString() << "Cannot use";
        QTest::newRow("xkb folder a dangling link") << QByteArray("dangling") << QString()
                                                    << "Cannot create folder";
        QTest::newRow("rules not well-formed") << QByteArray("<xkbConfigRegistry><layoutList>") << QString()
                                               << "Cannot use";
        QTest::newRow("empty layout list element")
            << QByteArray("<xkbConfigRegistry><layoutList/></xkbConfigRegistry>") << QString() << "Cannot use";
    }

    void failuresChangeNothing()
    {
        QFETCH(QByteArray, rulesBefore);
        QFETCH(QString, fileInTheWay);
        QFETCH(QString, error);
        if (!fileInTheWay.isEmpty()) {
            QVERIFY(QDir().mkpath(QFileInfo(m_config->filePath(fileInTheWay)).path()));
            QVERIFY(WriteAll(m_config->filePath(fileInTheWay), "a file"));
        } else if (rulesBefore == "fifo") {
            QVERIFY(QDir().mkpath(xkb(QStringLiteral("rules"))));
            QCOMPARE(::mkfifo(QFile::encodeName(rules()).constData(), 0600), 0);
        } else if (rulesBefore == "dangling") {
            QVERIFY(QFile::link(m_config->filePath(QStringLiteral("missing")), xkb().chopped(1)));
        } else {
            writeRules(rulesBefore);
        }
        const std::map<QString, QByteArray> before = Snapshot(m_config->path());
        const QString message = ErrorOf([&] { InstallXkbLayout(RussianLayout(), LayoutName, QString()); });
        QVERIFY2(message.startsWith(error), qPrintable(message));
        QVERIFY(Snapshot(m_config->path()) == before);
    }

    void uninstallRefusesOthers_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("user's own layout") << "mine";
        QTest::newRow("nothing of that name") << "absent";
    }

    void uninstallRefusesOthers()
    {
        QFETCH(QString, name);
        writeRules(OwnRules);
        QCOMPARE(ErrorOf([&] { UninstallXkbLayout(name); }),
                 QStringLiteral("No layout \"%1\" is installed for this user through Tavo").arg(name));
        QCOMPARE(ReadAll(rules()), OwnRules);
        QVERIFY(InstalledXkbLayouts().isEmpty());
    }

    // What a kill between two writes leaves is completed by whoever comes next.
    void halfDoneLayoutsAreCompleted_data()
    {
        QTest::addColumn<QString>("half");
        QTest::newRow("entry without symbols: list") << "entry";
        QTest::newRow("symbols of Tavo's form without entry: install") << "symbols";
    }

    void halfDoneLayoutsAreCompleted()
    {
        QFETCH(QString, half);
        InstallXkbLayout(RussianLayout(), QStringLiteral("other"), QStringLiteral("Other"));
        InstallXkbLayout(RussianLayout(), LayoutName, QStringLiteral("Half"));
        const QString symbols = xkb(QStringLiteral("symbols/") + LayoutName);
        if (half == u"entry") {
            QVERIFY(QFile::remove(symbols));
            QCOMPARE(InstalledXkbLayouts(), (QList<XkbInstalledLayout>{{"other", "Other", {}, {}}}));
            QVERIFY(!ReadAll(rules()).contains("Half"));
        } else {
            const QByteArray symbolsText = ReadAll(symbols);
            UninstallXkbLayout(LayoutName);
            QVERIFY(WriteAll(symbols, symbolsText));
            QCOMPARE(XkbInstallNameProblem(LayoutName), QString());
            InstallXkbLayout(RussianLayout(), LayoutName, QStringLiteral("Again"));
            QCOMPARE(InstalledXkbLayouts().size(), 2);
        }
    }

    void failedUninstallChangesNothing()
    {
        InstallXkbLayout(RussianLayout(), LayoutName, QString());
        const QString symbols = xkb(QStringLiteral("symbols/") + LayoutName);
        QVERIFY(QFile::remove(symbols));
        QVERIFY(QDir().mkdir(symbols));
        QVERIFY(WriteAll(symbols + QStringLiteral("/inside"), "x"));
        // A folder in its place is no missing symbols file, and cannot be removed.
        const std::map<QString, QByteArray> before = Snapshot(m_config->path());
        QCOMPARE(ErrorOf([&] { UninstallXkbLayout(LayoutName); }),
                 QStringLiteral("Cannot remove %1: it is a folder").arg(symbols));
        QVERIFY(Snapshot(m_config->path()) == before);
    }

    void entryCarriesShortDescriptionAndLanguages()
    {
        XkbInstallOptions options;
        options.description = QStringLiteral("Mine");
        options.languages = {QStringLiteral("rus"), QStringLiteral("eng")};
        options.loadAtX11Login = true;
        InstallXkbLayout(RussianLayout(), LayoutName, options);
        const std::optional<XkbLayoutInfo> info = Listed(LayoutName);
        QVERIFY(info);
        QCOMPARE(info->languages, options.languages);
        QCOMPARE(InstalledXkbLayouts().value(0).shortDescription, QStringLiteral("ru"));
        QVERIFY(ReadAll(XkbAutostartPath(LayoutName)).contains("xkbcomp -w 0"));
        UninstallXkbLayout(LayoutName);
        QVERIFY(!QFile::exists(XkbAutostartPath(LayoutName)));
        options.languages = {QStringLiteral("Russian")};
        QVERIFY(ErrorOf([&] { InstallXkbLayout(RussianLayout(), LayoutName, options); })
                    .startsWith(u"Invalid language code \"Russian\""));
    }

    void nameWithDoubleHyphenKeepsTheFileValid()
    {
        // "--" may not appear in an XML comment; the name is kept out of ours.
        InstallXkbLayout(RussianLayout(), QStringLiteral("a--b"), QStringLiteral("Dashes"));
        QVERIFY(Listed(QStringLiteral("a--b")));
        UninstallXkbLayout(QStringLiteral("a--b"));
        QVERIFY(Entries(m_config->path()).isEmpty());
    }

    void symbolsFolderForMessages_data()
    {
        QTest::addColumn<QByteArray>("configHome");  // null: unset
        QTest::addColumn<QString>("folder");
        QTest::newRow("unset: the default, home as ~") << QByteArray() << "~/.config/xkb/symbols/";
        QTest::newRow("set: the folder the install uses")
            << QByteArray("/srv/my config/") << "/srv/my config/xkb/symbols/";
    }

    void symbolsFolderForMessages()
    {
        QFETCH(QByteArray, configHome);
        QFETCH(QString, folder);
        const QByteArray home = qgetenv("HOME");
        const auto restore = qScopeGuard([&home] { qputenv("HOME", home); });
        qputenv("HOME", "/home/me");
        if (configHome.isNull())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", configHome);
        QCOMPARE(XkbUserSymbolsFolderForMessages(), folder);
    }
};

TAVO_TEST(TestXkbInstall)
#include "tst_xkbinstall.moc"
