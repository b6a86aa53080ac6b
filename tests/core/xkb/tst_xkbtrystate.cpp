// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "testhelpers.h"
#include "testlayouts.h"
#include "testregistry.h"
#include "xkbsymbols.h"
#include "xkbtrystate.h"

#include <QTest>

namespace {

// The Russian sample with Ctrl codes on key 14 (Q), which types й, Й, q and Q and on
// which Caps Lock acts, and on key 2 (1), which types 1 and ! and has no AltGr characters;
// the Ctrl code of key 2 is no code.
KeyTableArray Sample()
{
    KeyTableArray table = RussianLayout();
    KeyByNumber(table, 14).ctrl_code = QStringLiteral("0011");
    KeyByNumber(table, 2).ctrl_code = QStringLiteral("0x11");
    return table;
}

} // namespace

// Key sequences as in libxkbcommon's keyseq tests: "+NAME" presses a key, "-NAME" releases
// it, "NAME" does both, "*NAME" is an auto-repeated press; the last press is checked.
class TestXkbTryState : public QObject
{
    Q_OBJECT

    XkbTypedKey type(XkbTryState &state, const QStringList &sequence)
    {
        XkbTypedKey last;
        for (const QString &step : sequence) {
            const QChar op = step.front();
            const bool prefixed = op == u'+' || op == u'-' || op == u'*';
            const quint32 keycode = state.keycodeOf(prefixed ? step.mid(1) : step);
            if (keycode == 0)
                qFatal("no key %s", qPrintable(step));
            if (op != u'-')
                last = state.press(keycode, op == u'*');
            if (op != u'+' && op != u'*')
                state.release(keycode);
        }
        return last;
    }

private Q_SLOTS:
    void typesAndNames_data()
    {
        QTest::addColumn<QStringList>("sequence");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("status");
        QTest::addColumn<int>("keyNumber");
        QTest::newRow("norm") << QStringList{"AD01"} << "\u0439" << "Q, Norm: U+0439 \u0439" << 14;
        QTest::newRow("shift") << QStringList{"+LFSH", "AD01"} << "\u0419" << "Q, Shift: U+0419 \u0419" << 14;
        QTest::newRow("shift released") << QStringList{"+LFSH", "-LFSH", "AD01"} << "\u0439" << "Q, Norm: U+0439 \u0439" << 14;
        QTest::newRow("altgr") << QStringList{"+RALT", "AD01"} << "q" << "Q, AltGr: U+0071 q" << 14;
        QTest::newRow("altgr shift") << QStringList{"+RALT", "+RTSH", "AD01"} << "Q" << "Q, AltGr-Shift: U+0051 Q" << 14;
        QTest::newRow("caps lock swaps a caps key")
            << QStringList{"CAPS", "AD01"} << "\u0419" << "Q, Norm, Caps Lock: U+0419 \u0419" << 14;
        QTest::newRow("caps lock with shift")
            << QStringList{"CAPS", "+LFSH", "AD01"} << "\u0439" << "Q, Shift, Caps Lock: U+0439 \u0439" << 14;
        QTest::newRow("caps lock leaves other keys") << QStringList{"CAPS", "AE01"} << "1" << "1, Norm, Caps Lock: U+0031 1" << 2;
        QTest::newRow("second caps lock unlocks") << QStringList{"CAPS", "CAPS", "AD01"} << "\u0439" << "Q, Norm: U+0439 \u0439" << 14;
        QTest::newRow("repeated caps lock stays locked")
            << QStringList{"+CAPS", "*CAPS", "-CAPS", "AD01"} << "\u0419" << "Q, Norm, Caps Lock: U+0419 \u0419" << 14;
        QTest::newRow("empty level types nothing") << QStringList{"+RALT", "AE01"} << "" << "1, AltGr: nothing" << 2;
        QTest::newRow("ctrl shows the table's code") << QStringList{"+LCTL", "AD01"} << "" << "Q, Ctrl: U+0011" << 14;
        QTest::newRow("ctrl shift without a code") << QStringList{"+LCTL", "+LFSH", "AD01"} << "" << "Q, Ctrl-Shift: nothing" << 14;
        QTest::newRow("ctrl code with 0x is shown as written") << QStringList{"+LCTL", "AE01"} << "" << "1, Ctrl: 0x11" << 2;
        QTest::newRow("space") << QStringList{"SPCE"} << " " << "SPACE, Norm: U+0020  " << 48;
        QTest::newRow("key outside the table") << QStringList{"LFSH"} << "" << "" << 0;
        QTest::newRow("enter") << QStringList{"RTRN"} << "" << "" << 0;
    }

    void typesAndNames()
    {
        QFETCH(QStringList, sequence);
        QFETCH(QString, text);
        QFETCH(QString, status);
        QFETCH(int, keyNumber);
        XkbTryState state(Sample());
        const XkbTypedKey typed = type(state, sequence);
        QCOMPARE(typed.text, text);
        QCOMPARE(typed.status, status);
        QCOMPARE(typed.keyNumber, keyNumber);
    }

    // The sample with dead keys: ^ on TLDE, ´ (dead_acute) on AE12, ¦ (private) on the ISO key.
    void typesThroughDeadKeys_data()
    {
        QTest::addColumn<QStringList>("sequence");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("status");
        QTest::newRow("dead key waits")
            << QStringList{"AE12"} << "" << "OEM_PLUS, Norm: dead key U+00B4 \u00B4, waiting for the next key";
        QTest::newRow("pair of the system's table")
            << QStringList{"AE12", "AC01"} << "\u00E1" << "A, Norm: U+00E1 \u00E1 after the dead key U+00B4 \u00B4";
        QTest::newRow("pair of the layout's table")
            << QStringList{"AE12", "+LFSH", "AD03"} << "\u00C9" << "E, Shift: U+00C9 \u00C9 after the dead key U+00B4 \u00B4";
        QTest::newRow("space gives its own character")
            << QStringList{"AE12", "SPCE"} << "\u00B4" << "SPACE, Norm: U+00B4 \u00B4 after the dead key U+00B4 \u00B4";
        QTest::newRow("key without a sequence types nothing")
            << QStringList{"AE12", "BKSL"} << ""
            << "OEM_5, Norm: nothing: the dead key U+00B4 \u00B4 has no sequence with U+0023 #";
        QTest::newRow("another key ends the wait") << QStringList{"AE12", "BKSP", "AC01"} << "a" << "A, Norm: U+0061 a";
        QTest::newRow("private dead key on the ISO key")
            << QStringList{"+RALT", "+LFSH", "LSGT", "-LFSH", "-RALT", "SPCE"} << "\u00A6"
            << "SPACE, Norm: U+00A6 \u00A6 after the dead key U+00A6 \u00A6";
        QTest::newRow("ISO key types") << QStringList{"+LFSH", "LSGT"} << ">" << "OEM_102, Shift: U+003E >";
    }

    void typesThroughDeadKeys()
    {
        QFETCH(QStringList, sequence);
        QFETCH(QString, text);
        QFETCH(QString, status);
        XkbTryState state(DeadKeyLayout());
        const XkbTypedKey typed = type(state, sequence);
        QCOMPARE(typed.text, text);
        QCOMPARE(typed.status, status);
    }

    void ctrlAndAltAreCommands_data()
    {
        QTest::addColumn<QString>("modifier");
        QTest::addColumn<bool>("command");
        QTest::newRow("ctrl") << "LCTL" << true;
        QTest::newRow("left alt") << "LALT" << true;
        QTest::newRow("altgr") << "RALT" << false;
        QTest::newRow("shift") << "LFSH" << false;
    }

    void ctrlAndAltAreCommands()
    {
        QFETCH(QString, modifier);
        QFETCH(bool, command);
        XkbTryState state(Sample());
        QCOMPARE(type(state, {u'+' + modifier, QStringLiteral("AD01")}).command, command);
    }

    void keycodesAreEvdevPlusEight()
    {
        // What X11 and Wayland report as the native scan code: KEY_Q is 16, KEY_SPACE 57.
        XkbTryState state(Sample());
        QCOMPARE(state.keycodeOfKey(14), 16u + 8u);
        QCOMPARE(state.keycodeOfKey(SpaceKey), 57u + 8u);
        QCOMPARE(state.keycodeOf(XkbKeyName(1)), state.keycodeOfKey(1));
    }

    void rebuildTypesTheEditAndKeepsCapsLock()
    {
        KeyTableArray table = Sample();
        XkbTryState state(table);
        type(state, {QStringLiteral("CAPS")});
        SetCodes(table, 14, "1", {"044F", "042F"});
        state.rebuild(table);
        const XkbTypedKey typed = type(state, {QStringLiteral("AD01")});
        QCOMPARE(typed.text, u"\u042F");
        QCOMPARE(typed.status, u"Q, Norm, Caps Lock: U+042F \u042F");
    }

    void releaseAllLetsGoOfHeldKeysOnly()
    {
        XkbTryState state(Sample());
        type(state, {QStringLiteral("CAPS"), QStringLiteral("+LFSH"), QStringLiteral("+RALT")});
        state.releaseAll();
        QCOMPARE(type(state, {QStringLiteral("AD01")}).status, u"Q, Norm, Caps Lock: U+0419 \u0419");
    }
};

TAVO_TEST(TestXkbTryState)
#include "tst_xkbtrystate.moc"
