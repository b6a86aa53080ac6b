// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "keytable.h"
#include "testhelpers.h"
#include "testlayouts.h"
#include "testregistry.h"
#include "xkbkeymap.h"
#include "xkbsymbols.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <xkbcommon/xkbcommon.h>

#include <memory>

namespace {

// The XKB key names of keys 1 to 48, written out rather than computed.
const QStringList KeyNames = {
    "TLDE", "AE01", "AE02", "AE03", "AE04", "AE05", "AE06", "AE07", "AE08", "AE09", "AE10",
    "AE11", "AE12", "AD01", "AD02", "AD03", "AD04", "AD05", "AD06", "AD07", "AD08", "AD09",
    "AD10", "AD11", "AD12", "BKSL", "AC01", "AC02", "AC03", "AC04", "AC05", "AC06", "AC07",
    "AC08", "AC09", "AC10", "AC11", "AB01", "AB02", "AB03", "AB04", "AB05", "AB06", "AB07",
    "AB08", "AB09", "AB10", "SPCE"};

struct ContextDeleter { void operator()(xkb_context *p) const { xkb_context_unref(p); } };
struct KeymapDeleter { void operator()(xkb_keymap *p) const { xkb_keymap_unref(p); } };
struct StateDeleter { void operator()(xkb_state *p) const { xkb_state_unref(p); } };

// An exported layout compiled by libxkbcommon, read back as a person would type.
class TypedLayout
{
public:
    TypedLayout(const QString &name, const QByteArray &text)
    {
        QDir(m_dir.path()).mkdir(QStringLiteral("symbols"));
        WriteAll(m_dir.filePath(QStringLiteral("symbols/") + name), text);
        m_context.reset(xkb_context_new(XKB_CONTEXT_NO_DEFAULT_INCLUDES));
        xkb_context_set_log_level(m_context.get(), XKB_LOG_LEVEL_CRITICAL);
        xkb_context_include_path_append(m_context.get(), QFile::encodeName(m_dir.path()).constData());
        xkb_context_include_path_append_default(m_context.get());
        const QByteArray layout = name.toUtf8();
        const xkb_rule_names names = {"evdev", "pc105", layout.constData(), "", ""};
        m_keymap.reset(xkb_keymap_new_from_names(m_context.get(), &names, XKB_KEYMAP_COMPILE_NO_FLAGS));
    }

    bool compiled() const { return m_keymap != nullptr; }
    xkb_keymap *keymap() const { return m_keymap.get(); }

    // The keysym name and character of the key, with Shift and AltGr held and Caps Lock
    // locked as asked.
    std::pair<QString, uint> type(const QString &keyName, bool caps, bool shift, bool altGr) const
    {
        std::unique_ptr<xkb_state, StateDeleter> state(xkb_state_new(m_keymap.get()));
        const auto press = [&](const char *name, bool release) {
            const xkb_keycode_t keycode = xkb_keymap_key_by_name(m_keymap.get(), name);
            xkb_state_update_key(state.get(), keycode, XKB_KEY_DOWN);
            if (release)
                xkb_state_update_key(state.get(), keycode, XKB_KEY_UP);
        };
        if (caps)
            press("CAPS", true);
        if (shift)
            press("LFSH", false);
        if (altGr)
            press("RALT", false);
        const xkb_keycode_t keycode = xkb_keymap_key_by_name(m_keymap.get(), keyName.toLatin1().constData());
        char name[64];
        xkb_keysym_get_name(xkb_state_key_get_one_sym(state.get(), keycode), name, sizeof name);
        return {QString::fromLatin1(name), xkb_state_key_get_utf32(state.get(), keycode)};
    }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<xkb_context, ContextDeleter> m_context;
    std::unique_ptr<xkb_keymap, KeymapDeleter> m_keymap;
};

} // namespace

class TestXkbSymbols : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // ---- layout names

    void layoutName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("valid");
        QTest::newRow("letters") << "ru" << true;
        QTest::newRow("all allowed kinds") << "ru_phonetic-2" << true;
        QTest::newRow("digit alone") << "0" << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("upper-case letter") << "Ru" << false;
        QTest::newRow("blank") << "ru x" << false;
        QTest::newRow("dot") << "ru.x" << false;
        QTest::newRow("slash") << "a/b" << false;
        QTest::newRow("parenthesis") << "ru(basic)" << false;
        QTest::newRow("non-ASCII letter") << "\u0440\u0443" << false;
        QTest::newRow("fullwidth digit") << "ru\uFF11" << false;
        QTest::newRow("trailing newline") << "ru\n" << false;
    }

    void layoutName()
    {
        QFETCH(QString, name);
        QFETCH(bool, valid);
        QCOMPARE(IsValidXkbLayoutName(name), valid);
        QCOMPARE(ErrorOf([&] { XkbSymbolsText(DefaultTable(), name); }).isEmpty(), valid);
    }

    void layoutNameOfPath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        QTest::newRow("with suffix") << "/home/u/ru.xkb" << "ru";
        QTest::newRow("without suffix") << "/home/u/.config/xkb/symbols/ru" << "ru";
        QTest::newRow("only the last suffix goes") << "ru.x.xkb" << "ru.x";
        QTest::newRow("suffix alone") << "/tmp/.xkb" << "";
    }

    void layoutNameOfPath()
    {
        QFETCH(QString, path);
        QFETCH(QString, name);
        QCOMPARE(XkbLayoutNameOfPath(path), name);
    }

    // ---- codes to keysyms

    void keysymName_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("keysym");
        QTest::newRow("Cyrillic letter") << "0444" << "Cyrillic_ef";
        QTest::newRow("upper-case hex") << "044F" << "Cyrillic_ya";
        QTest::newRow("lower-case hex") << "044f" << "Cyrillic_ya";
        QTest::newRow("double quote") << "0022" << "quotedbl";
        QTest::newRow("backslash") << "005c" << "backslash";
        QTest::newRow("ampersand") << "0026" << "ampersand";
        QTest::newRow("space, first carried") << "0020" << "space";
        QTest::newRow("tilde, last before DEL") << "007E" << "asciitilde";
        QTest::newRow("no-break space, first after C1") << "00A0" << "nobreakspace";
        QTest::newRow("no name: Uxxxx") << "20BD" << "U20BD";
        QTest::newRow("last before the surrogates") << "D7FF" << "UD7FF";
        QTest::newRow("private use after the surrogates") << "E000" << "UE000";
        QTest::newRow("replacement character") << "FFFD" << "UFFFD";
        QTest::newRow("blanks around") << " 0445 " << "Cyrillic_ha";
        QTest::newRow("tab before") << "\t0445" << "Cyrillic_ha";
        QTest::newRow("NUL") << "0000" << "VoidSymbol";
        QTest::newRow("last C0 control") << "001F" << "VoidSymbol";
        QTest::newRow("backspace is no character") << "0008" << "VoidSymbol";
        QTest::newRow("DEL") << "007F" << "VoidSymbol";
        QTest::newRow("last C1 control") << "009F" << "VoidSymbol";
        QTest::newRow("first surrogate") << "D800" << "VoidSymbol";
        QTest::newRow("last surrogate") << "DFFF" << "VoidSymbol";
        QTest::newRow("noncharacter FDD0") << "FDD0" << "VoidSymbol";
        QTest::newRow("FFFE") << "FFFE" << "VoidSymbol";
        QTest::newRow("FFFF") << "FFFF" << "VoidSymbol";
        QTest::newRow("empty") << "" << "VoidSymbol";
        QTest::newRow("blanks only") << "    " << "VoidSymbol";
        QTest::newRow("three digits") << "044" << "VoidSymbol";
        QTest::newRow("five digits") << "00444" << "VoidSymbol";
        QTest::newRow("0x prefix") << "0x44" << "VoidSymbol";
        QTest::newRow("plus sign") << "+044" << "VoidSymbol";
        QTest::newRow("blank inside") << "04 4" << "VoidSymbol";
        QTest::newRow("not hex") << "04G4" << "VoidSymbol";
        QTest::newRow("fullwidth digits") << "\uFF10\uFF10\uFF14\uFF11" << "VoidSymbol";
    }

    void keysymName()
    {
        QFETCH(QString, code);
        QFETCH(QString, keysym);
        QCOMPARE(XkbKeysymName(code), keysym);
    }

    // ---- the text

    void textShape()
    {
        const QByteArray bytes = XkbSymbolsText(EdgeLayout(), QStringLiteral("ru"));
        QVERIFY(!bytes.contains('\r'));
        QVERIFY(bytes.endsWith("};\n"));
        QCOMPARE(QString::fromUtf8(bytes).toUtf8(), bytes);
        const QStringList lines = QString::fromUtf8(bytes).split(u'\n');
        QCOMPARE(lines.size(), 3 + 48 + 2 + 1);  // the last LF ends the last line
        QCOMPARE(lines[0], u"default partial alphanumeric_keys");
        QCOMPARE(lines[1], u"xkb_symbols \"basic\" {");
        QCOMPARE(lines[2], u"    name[Group1] = \"ru\";");
        for (int i = 0; i < 48; ++i)
            QVERIFY2(lines[3 + i].startsWith(QStringLiteral("    key <%1> { ").arg(KeyNames[i])),
                     qPrintable(lines[3 + i]));
        QCOMPARE(lines[51], u"    include \"level3(ralt_switch)\"");
        QCOMPARE(lines[52], u"};");
        QVERIFY(!bytes.contains("NoSymbol"));
    }

    // Lines of keys of the edge sample (tests/testlayouts.h).
    void keyLines_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("line");
        QTest::newRow("letter with Caps Lock and a Ctrl code")
            << 14 << "    key <AD01> { type[Group1] = \"FOUR_LEVEL_SEMIALPHABETIC\", symbols[Group1] = "
                     "[ Cyrillic_shorti, Cyrillic_SHORTI, j, J ] };  // Ctrl 0019 not written: XKB has no Ctrl level";
        QTest::newRow("digit: fifth level is the first")
            << 2 << "    key <AE01> { type[Group1] = \"FOUR_LEVEL_PLUS_LOCK\", symbols[Group1] = "
                    "[ 1, exclam, onesuperior, exclamdown, 1 ] };";
        QTest::newRow("controls are VoidSymbol")
            << 12 << "    key <AE11> { type[Group1] = \"FOUR_LEVEL_PLUS_LOCK\", symbols[Group1] = "
                     "[ minus, underscore, VoidSymbol, VoidSymbol, minus ] };";
        QTest::newRow("surrogates are VoidSymbol")
            << 47 << "    key <AB10> { type[Group1] = \"FOUR_LEVEL_PLUS_LOCK\", symbols[Group1] = "
                     "[ period, comma, VoidSymbol, VoidSymbol, period ] };";
        QTest::newRow("bad codes are VoidSymbol")
            << 25 << "    key <AD12> { type[Group1] = \"FOUR_LEVEL_SEMIALPHABETIC\", symbols[Group1] = "
                     "[ Cyrillic_hardsign, Cyrillic_HARDSIGN, VoidSymbol, VoidSymbol ] };";
        QTest::newRow("ampersand stored as &&")
            << 8 << "    key <AE07> { type[Group1] = \"FOUR_LEVEL_PLUS_LOCK\", symbols[Group1] = "
                    "[ 7, ampersand, VoidSymbol, VoidSymbol, 7 ] };";
        QTest::newRow("untouched key")
            << 15 << "    key <AD02> { type[Group1] = \"FOUR_LEVEL_PLUS_LOCK\", symbols[Group1] = "
                     "[ VoidSymbol, VoidSymbol, VoidSymbol, VoidSymbol, VoidSymbol ] };";
        QTest::newRow("default space bar")
            << 48 << "    key <SPCE> { type[Group1] = \"FOUR_LEVEL_PLUS_LOCK\", symbols[Group1] = "
                     "[ space, space, VoidSymbol, VoidSymbol, space ] };  // Ctrl 0020 not written: XKB has no Ctrl level";
    }

    void keyLines()
    {
        QFETCH(int, number);
        QFETCH(QString, line);
        const QStringList lines = QString::fromUtf8(XkbSymbolsText(EdgeLayout(), QStringLiteral("ru"))).split(u'\n');
        QCOMPARE(lines[2 + number], line);
    }

    void ctrlComment_data()
    {
        QTest::addColumn<QString>("ctrl");
        QTest::addColumn<QString>("ctrlShift");
        QTest::addColumn<QString>("comment");
        QTest::newRow("none") << "" << "" << "";
        QTest::newRow("blanks are no code") << "  " << "" << "";
        QTest::newRow("Ctrl only") << "0003" << "" << "  // Ctrl 0003 not written: XKB has no Ctrl level";
        QTest::newRow("Ctrl-Shift only") << "" << "001f" << "  // Ctrl-Shift 001F not written: XKB has no Ctrl level";
        QTest::newRow("both") << "0003" << "0016"
                              << "  // Ctrl 0003 and Ctrl-Shift 0016 not written: XKB has no Ctrl level";
        QTest::newRow("not a code: state only") << "x */" << "" << "  // Ctrl not written: XKB has no Ctrl level";
    }

    void ctrlComment()
    {
        QFETCH(QString, ctrl);
        QFETCH(QString, ctrlShift);
        QFETCH(QString, comment);
        KeyTableArray table = DefaultTable();
        SetCodes(table, 2, "0", {"0031", "0021"});
        KeyByNumber(table, 2).ctrl_code = ctrl;
        KeyByNumber(table, 2).ctrl_shift_code = ctrlShift;
        const QByteArray text = XkbSymbolsText(table, QStringLiteral("ru"));
        const QStringList lines = QString::fromUtf8(text).split(u'\n');
        QCOMPARE(lines[4], QStringLiteral("    key <AE01> { type[Group1] = \"FOUR_LEVEL_PLUS_LOCK\", symbols[Group1] = "
                                          "[ 1, exclam, VoidSymbol, VoidSymbol, 1 ] };") + comment);
        VerifyXkbSymbols(table, QStringLiteral("ru"), text);  // a comment never breaks the file
    }

    // ---- read back through libxkbcommon

    // The edge sample typed key by key.
    void edgeLayoutTypes_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("caps");
        QTest::addColumn<int>("level");  // 0 Norm, 1 Shift, 2 AltGr, 3 AltGr-Shift
        QTest::addColumn<QString>("keysym");
        QTest::addColumn<uint>("character");
        const auto row = [](const char *key, bool caps, int level, const char *keysym, uint character) {
            static const char *const levels[] = {"Norm", "Shift", "AltGr", "AltGr-Shift"};
            QTest::addRow("%s %s%s", key, levels[level], caps ? " with Caps Lock" : "")
                << QString::fromLatin1(key) << caps << level << QString::fromLatin1(keysym) << character;
        };
        // Without Caps Lock every level gives its own code.
        row("TLDE", false, 0, "Cyrillic_io", 0x451);
        row("TLDE", false, 1, "Cyrillic_IO", 0x401);
        row("TLDE", false, 2, "VoidSymbol", 0);
        row("AE01", false, 0, "1", 0x31);
        row("AE01", false, 1, "exclam", 0x21);
        row("AE01", false, 2, "onesuperior", 0xB9);
        row("AE01", false, 3, "exclamdown", 0xA1);
        row("AE02", false, 1, "quotedbl", 0x22);
        row("AE07", false, 1, "ampersand", 0x26);
        row("AE11", false, 1, "underscore", 0x5F);
        row("AE11", false, 2, "VoidSymbol", 0);
        row("AE11", false, 3, "VoidSymbol", 0);
        row("AD01", false, 0, "Cyrillic_shorti", 0x439);
        row("AD01", false, 1, "Cyrillic_SHORTI", 0x419);
        row("AD01", false, 2, "j", 0x6A);
        row("AD01", false, 3, "J", 0x4A);
        row("AD03", false, 0, "Cyrillic_u", 0x443);
        row("AD03", false, 2, "EuroSign", 0x20AC);
        row("AD03", false, 3, "VoidSymbol", 0);
        row("AD12", false, 2, "VoidSymbol", 0);
        row("BKSL", false, 0, "backslash", 0x5C);
        row("BKSL", false, 1, "slash", 0x2F);  // not the base symbols' bar
        row("AC01", false, 0, "Cyrillic_ef", 0x444);
        row("AC01", false, 3, "A", 0x41);
        row("AB03", false, 0, "Cyrillic_es", 0x441);
        row("AB10", false, 0, "period", 0x2E);
        row("AB10", false, 2, "VoidSymbol", 0);
        row("AB10", false, 3, "VoidSymbol", 0);
        row("AD02", false, 0, "VoidSymbol", 0);
        row("SPCE", false, 0, "space", 0x20);
        row("SPCE", false, 1, "space", 0x20);
        row("SPCE", false, 2, "VoidSymbol", 0);
        // Caps Lock swaps Norm and Shift of the keys whose caps is "1".
        row("TLDE", true, 0, "Cyrillic_IO", 0x401);
        row("TLDE", true, 1, "Cyrillic_io", 0x451);
        row("AD01", true, 0, "Cyrillic_SHORTI", 0x419);
        row("AD01", true, 1, "Cyrillic_shorti", 0x439);
        row("AC01", true, 0, "Cyrillic_EF", 0x424);
        // ... and capitalises their AltGr letters, as XKB does for this key type.
        row("AD01", true, 2, "J", 0x4A);
        row("AD01", true, 3, "J", 0x4A);
        row("AC01", true, 2, "A", 0x41);
        row("AD03", true, 2, "EuroSign", 0x20AC);
        row("AD12", true, 2, "VoidSymbol", 0);
        // Keys without caps "1" are left alone.
        row("AB03", true, 0, "Cyrillic_es", 0x441);
        row("AB03", true, 1, "Cyrillic_ES", 0x421);
        row("AE01", true, 0, "1", 0x31);
        row("AE01", true, 1, "exclam", 0x21);
        row("AE01", true, 2, "onesuperior", 0xB9);
        row("AE01", true, 3, "exclamdown", 0xA1);
        row("BKSL", true, 0, "backslash", 0x5C);
        row("AB10", true, 2, "VoidSymbol", 0);
        row("AD02", true, 0, "VoidSymbol", 0);
        row("SPCE", true, 0, "space", 0x20);
        row("SPCE", true, 2, "VoidSymbol", 0);
    }

    void edgeLayoutTypes()
    {
        QFETCH(QString, key);
        QFETCH(bool, caps);
        QFETCH(int, level);
        QFETCH(QString, keysym);
        QFETCH(uint, character);
        const TypedLayout layout(QStringLiteral("ru"), XkbSymbolsText(EdgeLayout(), QStringLiteral("ru")));
        QVERIFY(layout.compiled());
        const auto [gotKeysym, gotCharacter] = layout.type(key, caps, level & 1, level & 2);
        QCOMPARE(gotKeysym, keysym);
        QCOMPARE(gotCharacter, character);
    }

    void emptyLayoutTypesOnlySpaces()
    {
        const KeyTableArray table = DefaultTable();
        const QByteArray text = XkbSymbolsText(table, QStringLiteral("blank"));
        QCOMPARE(text.count("VoidSymbol"), 47 * 5 + 2);
        VerifyXkbSymbols(table, QStringLiteral("blank"), text);

        const TypedLayout layout(QStringLiteral("blank"), text);
        QVERIFY(layout.compiled());
        for (int i = 0; i < 48; ++i) {
            for (int state = 0; state < 8; ++state) {
                const bool caps = state & 4, shift = state & 1, altGr = state & 2;
                const auto [keysym, character] = layout.type(KeyNames[i], caps, shift, altGr);
                const bool space = i == 47 && !altGr;
                QVERIFY2(keysym == (space ? u"space" : u"VoidSymbol"),
                         qPrintable(QStringLiteral("%1 state %2: %3").arg(KeyNames[i]).arg(state).arg(keysym)));
                QCOMPARE(character, space ? 0x20u : 0u);
            }
        }
    }

    // ---- the check refuses what does not type as the table says

    void checkRefuses_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("message");
        const QByteArray good = XkbSymbolsText(EdgeLayout(), QStringLiteral("ru"));
        QByteArray noKey = good;
        noKey.replace("    key <AD01>", "    // key <AD01>");
        QByteArray noSymbol = good;
        noSymbol.replace("[ backslash, slash,", "[ backslash, NoSymbol,");
        QByteArray alphabetic = good;
        alphabetic.replace("\"FOUR_LEVEL_SEMIALPHABETIC\", symbols[Group1] = [ Cyrillic_shorti",
                           "\"FOUR_LEVEL_ALPHABETIC\", symbols[Group1] = [ Cyrillic_shorti");
        QByteArray ignoresCaps = good;
        ignoresCaps.replace("\"FOUR_LEVEL_SEMIALPHABETIC\", symbols[Group1] = [ Cyrillic_io, Cyrillic_IO",
                            "\"FOUR_LEVEL\", symbols[Group1] = [ Cyrillic_io, Cyrillic_IO");
        QByteArray otherName = good;
        otherName.replace("name[Group1] = \"ru\"", "name[Group1] = \"en\"");
        QByteArray noAltGr = good;
        noAltGr.replace("    include \"level3(ralt_switch)\"\n", "");

        QTest::newRow("not XKB")
            << QByteArray("key <AD01> [") << "The XKB layout \"ru\" does not compile: no xkb_symbols section";
        QTest::newRow("syntax error in the section")
            << QByteArray("xkb_symbols \"basic\" { key <AD01> [ };") << "The XKB layout \"ru\" does not compile: ";
        QTest::newRow("no symbols section")
            << QByteArray("default partial xkb_types \"basic\" { };\n") << "The XKB layout \"ru\" does not compile: ";
        QTest::newRow("key missing")
            << noKey << "XKB check of layout \"ru\" failed: key 14 <AD01>, Norm, gives NoSymbol instead of "
                        "Cyrillic_shorti (U+0439)";
        QTest::newRow("NoSymbol lets the base symbols through")
            << noSymbol << "XKB check of layout \"ru\" failed: key 26 <BKSL>, Shift, gives bar (U+007C) "
                           "instead of slash (U+002F)";
        QTest::newRow("Caps Lock inverting AltGr too")
            << alphabetic << "XKB check of layout \"ru\" failed: key 14 <AD01>, AltGr-Shift with Caps Lock, "
                             "gives j (U+006A) instead of J (U+004A)";
        QTest::newRow("Caps Lock only capitalising")
            << ignoresCaps << "XKB check of layout \"ru\" failed: key 1 <TLDE>, Shift with Caps Lock, "
                              "gives Cyrillic_IO (U+0401) instead of Cyrillic_io (U+0451)";
        QTest::newRow("layout named otherwise")
            << otherName << "XKB check of layout \"ru\" failed: the keymap's layout is not named \"ru\"";
        QTest::newRow("AltGr not switching")
            << noAltGr << "XKB check of layout \"ru\" failed: key 1 <TLDE>, AltGr, gives Cyrillic_io (U+0451) "
                          "instead of VoidSymbol";
    }

    void checkRefuses()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, message);
        const QString error = ErrorOf([&] { VerifyXkbSymbols(EdgeLayout(), QStringLiteral("ru"), text); });
        QVERIFY2(error.startsWith(message), qPrintable(error));
    }

    // ---- the keymap compiled in memory

    void defaultSectionBody_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("one section") << QByteArray("xkb_symbols \"basic\" { key <AE01> { [ 1 ] }; };")
                                     << QByteArray(" key <AE01> { [ 1 ] }; ");
        QTest::newRow("default after others")
            << QByteArray("partial xkb_symbols \"a\" { A };\ndefault partial xkb_symbols \"b\" { B };")
            << QByteArray(" B ");
        QTest::newRow("first without default")
            << QByteArray("xkb_symbols \"a\" { A };\nxkb_symbols \"b\" { B };") << QByteArray(" A ");
        QTest::newRow("braces in comments and strings")
            << QByteArray("// default xkb_symbols { no }\n# }\n/* { */ xkb_symbols \"x\" { name[1] = \"}\\\"{\"; };")
            << QByteArray(" name[1] = \"}\\\"{\"; ");
        QTest::newRow("empty section") << QByteArray("xkb_symbols {};") << QByteArray("");
        QTest::newRow("no section") << QByteArray("xkb_keycodes { <A> = 1; };") << QByteArray();
        QTest::newRow("unclosed") << QByteArray("xkb_symbols \"x\" { key <A> { [ a ] };") << QByteArray();
        QTest::newRow("unclosed string") << QByteArray("xkb_symbols \"x { };") << QByteArray();
    }

    void defaultSectionBody()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, body);
        const QByteArray found = XkbDefaultSymbolsBody(text);
        QCOMPARE(found, body);
        QCOMPARE(found.isNull(), body.isNull());
    }

    // The check compiles in memory exactly the keymap that the rules give for the
    // installed file, and leaves no file behind (not even in the temporary folder).
    void checkCompilesTheInstalledKeymapInMemory()
    {
        const KeyTableArray table = EdgeLayout();
        const QByteArray text = XkbSymbolsText(table, QStringLiteral("ru"));
        const TypedLayout installed(QStringLiteral("ru"), text);
        QVERIFY(installed.compiled());

        QTemporaryDir tmp;
        const QByteArray oldTmp = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(tmp.path()));
        const XkbKeymapPtr keymap = CompileXkbKeymap(XkbKeymapTextOfSymbols(text, QStringLiteral("ru")),
                                                     QStringLiteral("ru"));
        VerifyXkbSymbols(table, QStringLiteral("ru"), text);
        qputenv("TMPDIR", oldTmp);
        QVERIFY(Entries(tmp.path()).isEmpty());

        const auto asString = [](xkb_keymap *map) {
            char *chars = xkb_keymap_get_as_string(map, XKB_KEYMAP_FORMAT_TEXT_V1);
            QByteArray string(chars);
            free(chars);
            return string;
        };
        QCOMPARE(asString(keymap.get()), asString(installed.keymap()));
    }

    // ---- the file

    void saveWritesTheCheckedText()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("ru.xkb"));
        QVERIFY(WriteAll(path, "old content"));

        const KeyTableArray table = EdgeLayout();
        SaveXkbFile(table, path);
        QCOMPARE(ReadAll(path), XkbSymbolsText(table, QStringLiteral("ru")));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("ru.xkb")});
    }

    void saveRefusesBadName_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("name");
        QTest::newRow("upper case") << "Ru.xkb" << "Ru";
        QTest::newRow("blank") << "my layout.xkb" << "my layout";
        QTest::newRow("two suffixes") << "ru.x.xkb" << "ru.x";
        QTest::newRow("suffix alone") << ".xkb" << "";
        QTest::newRow("Cyrillic") << "\u0440\u0443.xkb" << "\u0440\u0443";
    }

    void saveRefusesBadName()
    {
        QFETCH(QString, fileName);
        QFETCH(QString, name);
        QTemporaryDir dir;
        const QString path = dir.filePath(fileName);
        const QString error = ErrorOf([&] { SaveXkbFile(EdgeLayout(), path); });
        QCOMPARE(error, QStringLiteral("Invalid XKB layout name \"%1\" (the file name without its suffix): "
                                       "use only lower-case letters a-z, digits, \"-\" and \"_\"").arg(name));
        QVERIFY(Entries(dir.path()).isEmpty());
    }

    void saveKeepsAFileWithABadName()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Ru.xkb"));
        QVERIFY(WriteAll(path, "old content"));
        QVERIFY(!ErrorOf([&] { SaveXkbFile(EdgeLayout(), path); }).isEmpty());
        QCOMPARE(ReadAll(path), QByteArray("old content"));
    }

    // The compiler's own tool loads the written file as a user's layout.
    void xkbcliCompilesTheWrittenFile()
    {
        QString program = QStandardPaths::findExecutable(QStringLiteral("xkbcli"));
        QStringList arguments{QStringLiteral("compile-keymap")};
        if (program.isEmpty()) {
            program = QStandardPaths::findExecutable(QStringLiteral("xkbcli-compile-keymap"),
                                                     {QStringLiteral("/usr/libexec/xkbcommon")});
            arguments.clear();
        }
        QVERIFY2(!program.isEmpty(), "xkbcli not found (Debian package libxkbcommon-tools)");

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("ru.xkb"));
        SaveXkbFile(EdgeLayout(), path);
        const QString xkb = dir.filePath(QStringLiteral("xkb"));
        QVERIFY(QDir().mkpath(xkb + QStringLiteral("/symbols")));
        QVERIFY(QFile::copy(path, xkb + QStringLiteral("/symbols/ru")));

        QProcess process;
        process.start(program, arguments + QStringList{QStringLiteral("--include"), xkb,
                                                       QStringLiteral("--include-defaults"),
                                                       QStringLiteral("--layout"), QStringLiteral("ru")});
        QVERIFY(process.waitForFinished(60000));
        const QByteArray keymap = process.readAllStandardOutput();
        QVERIFY2(process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0,
                 process.readAllStandardError().constData());
        QVERIFY(keymap.contains("xkb_symbols"));
        QVERIFY(keymap.contains("Cyrillic_shorti"));
        QVERIFY(keymap.contains("FOUR_LEVEL_PLUS_LOCK"));
    }
};

TAVO_TEST(TestXkbSymbols)
#include "tst_xkbsymbols.moc"
