// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktopsession.h"
#include "keytable.h"
#include "testhelpers.h"
#include "testlayouts.h"
#include "testregistry.h"
#include "ukbfile.h"
#include "xkbimport.h"
#include "xkbkeymap.h"
#include "xkbregistry.h"
#include "xkbsymbols.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <xkbcommon/xkbcommon.h>

namespace {

// A layout of the user's own (in $XDG_CONFIG_HOME/xkb) with one case of every rule.
const QByteArray UserSymbols = R"xkb(
default partial alphanumeric_keys
xkb_symbols "basic" {
    name[Group1] = "Tavo test";
    key <TLDE> { [ dead_grave, asciitilde ] };
    key <AE01> { [ 1, exclam, U1F600, BackSpace ] };
    key <AE02> { [ 2, at, Multi_key, NoSymbol ] };
    key <AE03> { [ { a, b }, numbersign ] };
    key <AE04> { [ 4, dollar, EuroSign, cent ] };
    key <AE07> { [ 7, ampersand ] };
    key <AD01> { [ q, Q ] };
    key <AD02> { type[Group1] = "TWO_LEVEL", [ w, W ] };
    key <AD03> { type[Group1] = "FOUR_LEVEL_SEMIALPHABETIC", [ e, E, eacute, Eacute ] };
    key <AC01> { [ a, A, ae, AE ] };
    key <AC02> { [ x, x ] };
    key <AB01> { [ Cyrillic_ya, Cyrillic_YA ] };
    key <CAPS> { [ z, Z ] };
    include "level3(ralt_switch)"
};
)xkb";

const std::array<ShiftState, 4> Levels = {ShiftState::Norm, ShiftState::Shift, ShiftState::AltGr,
                                          ShiftState::AltGrShift};

// The character a keymap gives for a key at a level, through a state whose modifiers
// are the first mask the key's type lists for that level (without Lock where it can),
// and with Lock locked when asked.
char32_t SystemTypes(xkb_keymap *keymap, xkb_keycode_t keycode, xkb_level_index_t level, bool lock)
{
    xkb_mod_mask_t masks[16];
    const size_t count = xkb_keymap_key_get_mods_for_level(keymap, keycode, 0, level, masks, 16);
    if (count == 0)
        return 0;
    const xkb_mod_mask_t lockBit = xkb_mod_mask_t(1) << xkb_keymap_mod_get_index(keymap, XKB_MOD_NAME_CAPS);
    xkb_mod_mask_t mask = masks[0];
    for (size_t i = 0; i < count; ++i) {
        if (!(masks[i] & lockBit)) {
            mask = masks[i];
            break;
        }
    }
    XkbStatePtr state(xkb_state_new(keymap));
    xkb_state_update_mask(state.get(), mask, 0, lock ? lockBit : 0, 0, 0, 0);
    return xkb_state_key_get_utf32(state.get(), keycode);
}

// An exported layout's state at a level, Shift and AltGr pressed as keys.
XkbStatePtr ExportState(xkb_keymap *keymap, int level, bool lock = false)
{
    XkbStatePtr state(xkb_state_new(keymap));
    const xkb_mod_mask_t lockBit = xkb_mod_mask_t(1) << xkb_keymap_mod_get_index(keymap, XKB_MOD_NAME_CAPS);
    xkb_state_update_mask(state.get(), 0, 0, lock ? lockBit : 0, 0, 0, 0);
    if (level & 1)
        xkb_state_update_key(state.get(), xkb_keymap_key_by_name(keymap, "LFSH"), XKB_KEY_DOWN);
    if (level & 2)
        xkb_state_update_key(state.get(), xkb_keymap_key_by_name(keymap, "RALT"), XKB_KEY_DOWN);
    return state;
}

// The character an exported layout types for a key.
char32_t ExportTypes(xkb_keymap *keymap, xkb_keycode_t keycode, int level, bool lock)
{
    return xkb_state_key_get_utf32(ExportState(keymap, level, lock).get(), keycode);
}

xkb_keycode_t Keycode(xkb_keymap *keymap, int number)
{
    return xkb_keymap_key_by_name(keymap, XkbKeyName(number).toLatin1().constData());
}

// The Russian sample with an ampersand, an AltGr-Shift character over an empty AltGr, a
// letter key without Caps Lock and a character on the space bar's AltGr.
KeyTableArray RoundTripTable()
{
    KeyTableArray table = RussianLayout();
    SetImportedCharacter(KeyByNumber(table, 8), ShiftState::Shift, u'&');
    SetImportedCharacter(KeyByNumber(table, 8), ShiftState::AltGrShift, u'§');
    KeyByNumber(table, 40).caps = QStringLiteral("0");
    SetImportedCharacter(KeyByNumber(table, SpaceKey), ShiftState::AltGr, u'\u00A0');
    return table;
}

} // namespace

class TestXkbImport : public QObject
{
    Q_OBJECT

    QTemporaryDir m_config;
    std::optional<LayoutImport> m_user;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
        qunsetenv("XKB_DEFAULT_LAYOUT");
        QVERIFY(QDir().mkpath(m_config.filePath(QStringLiteral("xkb/symbols"))));
        QVERIFY(WriteAll(m_config.filePath(QStringLiteral("xkb/symbols/tavotest")), UserSymbols));
        m_user = ImportXkbLayout(QStringLiteral("tavotest"), QString());
    }

    void parseLayoutName_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("layout");
        QTest::addColumn<QString>("variant");
        QTest::newRow("layout") << "ru" << true << "ru" << "";
        QTest::newRow("with variant") << "de(neo)" << true << "de" << "neo";
        QTest::newRow("variant with dash") << "us(altgr-intl)" << true << "us" << "altgr-intl";
        QTest::newRow("empty") << "" << false << "" << "";
        QTest::newRow("unclosed") << "de(neo" << false << "" << "";
        QTest::newRow("two layouts") << "us,ru" << false << "" << "";
        QTest::newRow("rule syntax") << "pc+us" << false << "" << "";
        // Names end up in paths: nothing may lead outside the XKB data.
        QTest::newRow("path up") << "../../../../../etc/shadow" << false << "" << "";
        QTest::newRow("dot dot") << ".." << false << "" << "";
        QTest::newRow("slash in variant") << "us(../x)" << false << "" << "";
        QTest::newRow("control character") << "ru\x01" << false << "" << "";
        QTest::newRow("10,000 characters") << QString(10000, u'a') << false << "" << "";
        QTest::newRow("longest accepted") << QString(MaxXkbNameLength, u'a') << true << QString(MaxXkbNameLength, u'a') << "";
        QTest::newRow("upper case as in the database") << "ch(de_Sundeadkeys)" << true << "ch" << "de_Sundeadkeys";
    }

    void parseLayoutName()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(QString, layout);
        QFETCH(QString, variant);
        const std::optional<XkbLayoutInfo> info = ParseXkbLayoutName(text);
        QCOMPARE(info.has_value(), valid);
        if (valid) {
            QCOMPARE(info->layout, layout);
            QCOMPARE(info->variant, variant);
        }
    }

    void unknownLayoutIsRefused_data()
    {
        QTest::addColumn<QString>("layout");
        QTest::addColumn<QString>("variant");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown layout") << "tavonosuchlayout" << "" << "\"tavonosuchlayout\" is not known";
        QTest::newRow("unknown variant") << "de" << "tavonosuch" << "\"de(tavonosuch)\" is not known";
        QTest::newRow("two layouts") << "us,ru" << "" << "is not the name of an XKB layout";
    }

    void unknownLayoutIsRefused()
    {
        QFETCH(QString, layout);
        QFETCH(QString, variant);
        QFETCH(QString, message);
        const QString error = ErrorOf([&] { ImportXkbLayout(layout, variant); });
        QVERIFY2(error.contains(message), qPrintable(error));
    }

    void levelsFillTheStates_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("character");
        QTest::newRow("level 1") << 2 << 1 << "0031" << "1";
        QTest::newRow("level 2") << 2 << 2 << "0021" << "!";
        QTest::newRow("level 3") << 5 << 3 << "20AC" << "€";
        QTest::newRow("level 4") << 5 << 4 << "00A2" << "¢";
        QTest::newRow("upper-case hex digits") << 38 << 1 << "044F" << "я";
        QTest::newRow("ampersand doubled") << 8 << 2 << "0026" << "&&";
        QTest::newRow("dead key has what it composes with space") << 1 << 1 << "0060" << "`";
        QTest::newRow("level after a dead key") << 1 << 2 << "007E" << "~";
        QTest::newRow("beyond U+FFFF") << 2 << 3 << "1F600" << "\U0001F600";
        QTest::newRow("control left empty") << 2 << 4 << "" << "";
        QTest::newRow("keysym without character left empty") << 3 << 3 << "" << "";
        QTest::newRow("two keysyms left empty") << 4 << 1 << "" << "";
        QTest::newRow("Ctrl left empty") << 27 << 5 << "" << "";
        QTest::newRow("key the layout leaves out") << 20 << 1 << "" << "";
    }

    void levelsFillTheStates()
    {
        QFETCH(int, number);
        QFETCH(int, state);
        QFETCH(QString, code);
        QFETCH(QString, character);
        const s_key &key = KeyByNumber(m_user->table, number);
        QCOMPARE(CodeOf(key, ShiftState(state)), code);
        QCOMPARE(CharOf(key, ShiftState(state)), character);
    }

    // <CAPS> types "z" in this layout: the import must lock the modifier, not press the key.
    void capsFollowsTheLockModifier_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("caps");
        QTest::newRow("alphabetic letter") << 14 << "1";
        QTest::newRow("two-level type, libxkbcommon's capitalisation") << 15 << "1";
        QTest::newRow("semialphabetic") << 16 << "1";
        QTest::newRow("four-level alphabetic") << 27 << "1";
        QTest::newRow("Cyrillic letter") << 38 << "1";
        QTest::newRow("digit") << 2 << "0";
        QTest::newRow("same character on both levels") << 28 << "0";
        QTest::newRow("level 1 a dead key") << 1 << "0";
        QTest::newRow("key the layout leaves out") << 20 << "0";
        QTest::newRow("space bar") << 48 << "0";
    }

    void capsFollowsTheLockModifier()
    {
        QFETCH(int, number);
        QFETCH(QString, caps);
        QCOMPARE(KeyByNumber(m_user->table, number).caps, caps);
    }

    void reportListsWhatWasLeftOut()
    {
        // Grouped by kind, in key order within each.
        const QStringList expected = {
            "2 characters",
            "1 state with several keysyms",
            "key 2 <AE01>, AltGr-Shift: BackSpace (U+0008) is a control character",
            "key 3 <AE02>, AltGr: Multi_key has no character",
            "key 4 <AE03>, Norm: 2 keysyms at once",
        };
        QCOMPARE(m_user->report.lines(), expected);
    }

    void sessionLayout()
    {
        QTemporaryDir dir;
        const QString system = dir.filePath(QStringLiteral("keyboard"));
        QVERIFY(WriteAll(system, "XKBMODEL=\"pc105\"\nXKBLAYOUT=\"fr,us\"\nXKBVARIANT=\"bepo,\"\n"));
        QCOMPARE(SessionXkbLayout(system)->fullName(), QStringLiteral("fr(bepo)"));

        const QString kxkbrc = m_config.filePath(QStringLiteral("kxkbrc"));
        QVERIFY(WriteAll(kxkbrc, "[Layout]\nDisplayNames=,\nLayoutList=ru,us\nUse=true\nVariantList=phonetic,\n"));
        QCOMPARE(SessionXkbLayout(system)->fullName(), QStringLiteral("ru(phonetic)"));

        qputenv("XKB_DEFAULT_LAYOUT", "de");
        QCOMPARE(SessionXkbLayout(system)->fullName(), QStringLiteral("de"));
        qunsetenv("XKB_DEFAULT_LAYOUT");
        QFile::remove(kxkbrc);
        QVERIFY(!SessionXkbLayout(dir.filePath(QStringLiteral("missing"))));
    }

    void exportThenImportGivesTheTableBack()
    {
        const KeyTableArray table = RoundTripTable();
        const QString name = QStringLiteral("tavoround");
        const QByteArray text = XkbSymbolsText(table, name);
        const XkbKeymapPtr keymap = CompileXkbKeymap(XkbKeymapTextOfSymbols(text, name), name);
        const LayoutImport imported = ImportXkbKeymap(keymap.get(), name);
        QVERIFY(imported.report.isEmpty());
        KeyTableArray back = DefaultTable();
        ApplyLayoutImport(back, imported.table);
        // Where the layout has no ISO key, the base symbols "pc" give it < > | ¦, which it types.
        QCOMPARE(CodeOf(KeyByNumber(back, IsoKey), ShiftState::Norm), QStringLiteral("003C"));
        ClearKeyTexts(KeyByNumber(back, IsoKey));
        for (int number = 1; number <= KeyCount; ++number) {
            const QStringList got = UkbLines(back).at(number - 1).split(u'\t');
            const QStringList want = UkbLines(table).at(number - 1).split(u'\t');
            QCOMPARE(got, want);
        }
    }

    // What the import kept types, once exported, as the system layout types it.
    void importedLayoutTypesAsTheSystemLayout_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name : {"us", "ru", "de", "fr", "gb", "ua", "de(neo)"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void importedLayoutTypesAsTheSystemLayout()
    {
        QFETCH(QString, name);
        const std::optional<XkbLayoutInfo> info = ParseXkbLayoutName(name);
        QVERIFY(info);
        const LayoutImport imported = ImportXkbLayout(info->layout, info->variant);
        const XkbKeymapPtr system = CompileXkbLayout(info->layout, info->variant);
        const QString exportName = QStringLiteral("tavocheck");
        const QByteArray text = XkbSymbolsText(imported.table, exportName);
        VerifyXkbSymbols(imported.table, exportName, text);
        const XkbKeymapPtr exported = CompileXkbKeymap(XkbKeymapTextOfSymbols(text, exportName), exportName);

        int compared = 0;
        for (int number = 1; number <= IsoKey; ++number) {
            if (number == SpaceKey)
                continue;
            const s_key &key = KeyByNumber(imported.table, number);
            const xkb_keycode_t systemKey = Keycode(system.get(), number);
            const xkb_keycode_t exportKey = Keycode(exported.get(), number);
            std::array<char32_t, 4> kept{};
            for (int level = 0; level < 4; ++level) {
                if (DeadOf(key, Levels[level])) {
                    // The dead keysym itself; what it composes is TestXkbCompose's.
                    QCOMPARE(xkb_state_key_get_one_sym(ExportState(exported.get(), level).get(), exportKey),
                             xkb_keysym_from_name(DeadOf(key, Levels[level])->keysym.toLatin1().constData(), XKB_KEYSYM_NO_FLAGS));
                    continue;
                }
                if (CodeOf(key, Levels[level]).isEmpty())
                    continue;
                kept[level] = CodeOf(key, Levels[level]).toUInt(nullptr, 16);
                const char32_t want = SystemTypes(system.get(), systemKey, level, false);
                QCOMPARE(kept[level], want);
                QCOMPARE(ExportTypes(exported.get(), exportKey, level, false), want);
                ++compared;
            }
            // Caps Lock on level 1, where the system gives one of the two kept characters.
            const char32_t withLock = SystemTypes(system.get(), systemKey, 0, true);
            if (kept[0] && kept[1] && (withLock == kept[0] || withLock == kept[1]))
                QCOMPARE(ExportTypes(exported.get(), exportKey, 0, true), withLock);
        }
        QVERIFY2(compared >= 47 * 2, qPrintable(QString::number(compared)));
    }
};

TAVO_TEST(TestXkbImport)
#include "tst_xkbimport.moc"
