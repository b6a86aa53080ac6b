// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "testlayouts.h"
#include "testregistry.h"
#include "xkbcompose.h"
#include "xkbimport.h"
#include "xkbkeymap.h"
#include "xkbregistry.h"
#include "xkbsymbols.h"

#include <QTest>

#include <xkbcommon/xkbcommon-compose.h>
#include <xkbcommon/xkbcommon.h>

namespace {

// What the two keysyms type through the compose table: the composed text, "" when the
// sequence is cancelled, or the second keysym's character when nothing starts with the first.
QString Typed(xkb_compose_table *table, xkb_keysym_t dead, xkb_keysym_t base)
{
    const XkbComposeStatePtr state(xkb_compose_state_new(table, XKB_COMPOSE_STATE_NO_FLAGS));
    xkb_compose_state_feed(state.get(), dead);
    xkb_compose_state_feed(state.get(), base);
    char text[64] = {};
    switch (xkb_compose_state_get_status(state.get())) {
    case XKB_COMPOSE_COMPOSED:
        xkb_compose_state_get_utf8(state.get(), text, sizeof text);
        return QString::fromUtf8(text);
    case XKB_COMPOSE_CANCELLED:
        return QString();
    default:
        xkb_keysym_to_utf8(base, text, sizeof text);
        return QStringLiteral("(not composed) ") + QString::fromUtf8(text);
    }
}

xkb_keysym_t SymAt(xkb_keymap *keymap, int number, int level)
{
    const xkb_keycode_t keycode = xkb_keymap_key_by_name(keymap, XkbKeyName(number).toLatin1().constData());
    const xkb_keysym_t *syms = nullptr;
    return xkb_keymap_key_get_syms_by_level(keymap, keycode, 0, level, &syms) == 1 ? syms[0] : XKB_KEY_NoSymbol;
}

} // namespace

class TestXkbCompose : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Import, export with the compose text, then every dead key followed by every base the
    // layout types gives, through libxkbcommon, what the system layout gives.
    void exportedDeadKeysTypeAsTheSystemLayout_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name : {"de", "fr", "us(intl)", "de(neo)"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void exportedDeadKeysTypeAsTheSystemLayout()
    {
        QFETCH(QString, name);
        const std::optional<XkbLayoutInfo> info = ParseXkbLayoutName(name);
        const LayoutImport imported = ImportXkbLayout(info->layout, info->variant);
        const XkbKeymapPtr system = CompileXkbLayout(info->layout, info->variant);
        const QString exportName = QStringLiteral("tavocheck");
        const QByteArray symbols = XkbFileBytes(imported.table, exportName);
        const XkbKeymapPtr exported = CompileXkbKeymap(XkbKeymapTextOfSymbols(symbols, exportName), exportName);
        const XkbComposeTablePtr compose = CompileXkbCompose(XkbComposeText(imported.table, exportName));

        QStringList differences;
        int deadKeys = 0;
        int compared = 0;
        for (int dead = 1; dead <= TableKeyCount; ++dead) {
            for (int deadLevel = 0; deadLevel < 4; ++deadLevel) {
                if (!DeadOf(KeyByNumber(imported.table, dead), XkbLevelStates[deadLevel]))
                    continue;
                ++deadKeys;
                for (int base = 1; base <= TableKeyCount; ++base) {
                    for (int level = 0; level < 4; ++level) {
                        const xkb_keysym_t systemBase = SymAt(system.get(), base, level);
                        if (xkb_keysym_to_utf32(systemBase) == 0 && systemBase != SymAt(system.get(), dead, deadLevel))
                            continue;
                        const QString want = Typed(SystemComposeTable(), SymAt(system.get(), dead, deadLevel), systemBase);
                        const QString got = Typed(compose.get(), SymAt(exported.get(), dead, deadLevel),
                                                  SymAt(exported.get(), base, level));
                        ++compared;
                        if (got != want && differences.size() < 10) {
                            differences << QStringLiteral("<%1> level %2 then <%3> level %4: %5 instead of %6")
                                               .arg(XkbKeyName(dead)).arg(deadLevel + 1).arg(XkbKeyName(base))
                                               .arg(level + 1).arg(got, want);
                        }
                    }
                }
            }
        }
        QVERIFY2(deadKeys >= 2 && compared > 100, qPrintable(QString::number(compared)));
        QVERIFY2(differences.isEmpty(), qPrintable(differences.join(u'\n')));
    }

    // The sample's dead keys: a stored keysym, a keysym found from the character, and a
    // private-use keysym for a character without one; the block holds only what the
    // system does not give.
    void sampleComposeText()
    {
        const KeyTableArray table = DeadKeyLayout();
        const XkbDeadKeysymTable syms = XkbDeadKeysyms(table, QStringLiteral("tavo"));
        QCOMPARE(syms[0][0], quint32(XKB_KEY_dead_circumflex));
        QCOMPARE(syms[12][0], quint32(XKB_KEY_dead_acute));
        QCOMPARE(syms[12][1], quint32(XKB_KEY_dead_grave));
        QCOMPARE(syms[IsoKey - 1][3], quint32(0x010F0000 + (qChecksum("tavo") % 256) * 256));
        const QByteArray text = XkbComposeText(table, QStringLiteral("tavo"));
        QVERIFY(text.startsWith("include \"%L\"\n" + XkbComposeBlockBegin(QStringLiteral("tavo")) + '\n'));
        QVERIFY(text.endsWith(XkbComposeBlockEnd(QStringLiteral("tavo")) + '\n'));
        QVERIFY2(!text.contains("<dead_acute> <a>"), text);  // the system gives á
        const QByteArray privateSym = "<" + XkbKeysymNameOf(syms[IsoKey - 1][3]).toLatin1() + "> ";
        QVERIFY2(text.contains(privateSym + "<semicolon> : \"%\"\n"), text);
        QVERIFY2(text.contains(privateSym + "<U0001D400> : \">\"\n"), text);
        QVERIFY2(text.contains("<dead_acute> <space> : \"\u00B4\"\n"), text);  // the system gives "'"
        const XkbComposeTablePtr compose = CompileXkbCompose(text);
        QCOMPARE(Typed(compose.get(), syms[IsoKey - 1][3], XKB_KEY_space), QStringLiteral("\u00A6"));
        QCOMPARE(Typed(compose.get(), XKB_KEY_dead_acute, XKB_KEY_E), QStringLiteral("\u00C9"));
        QVERIFY(XkbComposeText(RussianLayout(), QStringLiteral("tavo")).isEmpty());
    }

    void composeFileBlock_data()
    {
        const QByteArray begin = XkbComposeBlockBegin(QStringLiteral("mine"));
        const QByteArray end = XkbComposeBlockEnd(QStringLiteral("mine"));
        const QByteArray block = begin + "\n<dead_acute> <q> : \"q\"\n" + end + '\n';
        const QByteArray other = XkbComposeBlockBegin(QStringLiteral("other")) + "\n<a> <b> : \"c\"\n"
                                 + XkbComposeBlockEnd(QStringLiteral("other")) + '\n';
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("newBlock");
        QTest::addColumn<bool>("written");
        QTest::addColumn<QByteArray>("result");
        QTest::newRow("created with the locale's table first")
            << false << QByteArray() << block << true << "include \"%L\"\n" + block;
        QTest::newRow("nothing to write, no file") << false << QByteArray() << QByteArray() << false << QByteArray();
        QTest::newRow("added after a last line without line feed")
            << true << QByteArray("<a> <a> : \"b\"") << block << true << "<a> <a> : \"b\"\n" + block;
        QTest::newRow("replaced in place")
            << true << "# mine\n" + begin + "\n<x> <y> : \"z\"\n" + end + "\n" + other << block << true
            << "# mine\n" + block + other;
        QTest::newRow("removed, the rest kept byte for byte")
            << true << "include \"%L\"\n" + block + other << QByteArray() << true << "include \"%L\"\n" + other;
        QTest::newRow("another layout's block left alone") << true << other << QByteArray() << true << other;
    }

    void composeFileBlock()
    {
        QFETCH(bool, exists);
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, newBlock);
        QFETCH(bool, written);
        QFETCH(QByteArray, result);
        const std::optional<QByteArray> got =
            WithXkbComposeBlock(exists ? std::optional(file) : std::nullopt, QStringLiteral("mine"), newBlock);
        QCOMPARE(got.has_value(), written);
        if (written)
            QCOMPARE(*got, result);
    }
};

TAVO_TEST(TestXkbCompose)
#include "tst_xkbcompose.moc"
