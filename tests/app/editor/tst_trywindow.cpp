// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "chartablewindow.h"
#include "characterfield.h"
#include "editorwindow.h"
#include "fakedialogs.h"
#include "keyboardtest.h"
#include "testhelpers.h"
#include "testlayouts.h"
#include "testregistry.h"
#include "trywindow.h"
#include "xkbtrystate.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <memory>

namespace {

void SetCode(s_key &key, ShiftState state, uint code)
{
    CodeOf(key, state) = QStringLiteral("%1").arg(code, 4, 16, QLatin1Char('0')).toUpper();
    CharOf(key, state) = QString(QChar(char16_t(code)));
}

// The character the table gives for the key in the state, as a text.
QString Expected(const s_key &key, ShiftState state)
{
    const QString code = CodeOf(key, state).trimmed();
    return code.isEmpty() ? QString() : QString(QChar(char16_t(code.toUInt(nullptr, 16))));
}

} // namespace

class TestTryWindow : public QObject
{
    Q_OBJECT

    FakeDialogs dialogs;
    std::unique_ptr<TForm1> editor;
    TryWindow *window = nullptr;
    std::unique_ptr<XkbTryState> keycodes;  // the evdev + 8 codes of the keys

    QLineEdit *edit() const { return Child<QLineEdit>(window, QStringLiteral("TryEdit")); }
    QString status() const { return Child<QLabel>(window, QStringLiteral("TryStatus"))->text(); }

    // A key event as X11 and Wayland deliver it: the desktop's own key and text (a US
    // layout here), and the XKB keycode as the native scan code.
    void send(QEvent::Type type, quint32 scanCode, int key = 0, const QString &text = QString())
    {
        QKeyEvent event(type, key, Qt::NoModifier, scanCode, 0, 0, text);
        QCoreApplication::sendEvent(edit(), &event);
    }
    void press(const char *keyName) { send(QEvent::KeyPress, keycodes->keycodeOf(QString::fromLatin1(keyName))); }
    void release(const char *keyName) { send(QEvent::KeyRelease, keycodes->keycodeOf(QString::fromLatin1(keyName))); }
    void typeKey(int number)
    {
        send(QEvent::KeyPress, keycodes->keycodeOfKey(number), Qt::Key_A, QStringLiteral("a"));
        send(QEvent::KeyRelease, keycodes->keycodeOfKey(number), Qt::Key_A, QStringLiteral("a"));
    }

private Q_SLOTS:
    void init()
    {
        editor = std::make_unique<TForm1>();
        KeyTable = RussianLayout();
        keycodes = std::make_unique<XkbTryState>(KeyTable);
        TriggerMenuItem(editor.get(), "trylayout1");
        window = editor->findChild<TryWindow *>();
        QVERIFY(window);
        QVERIFY(window->isVisible());
        QCOMPARE(window->windowTitle(), u"Try layout");
        QVERIFY(!window->isModal());
    }
    void cleanup()
    {
        editor.reset();
        QVERIFY(dialogs.errors.isEmpty());
        dialogs.errors.clear();
    }

    void everyKeyTypesTheTable_data()
    {
        QTest::addColumn<QStringList>("modifiers");
        QTest::addColumn<bool>("capsLock");
        QTest::addColumn<int>("state");
        QTest::newRow("Norm") << QStringList{} << false << int(ShiftState::Norm);
        QTest::newRow("Shift") << QStringList{"LFSH"} << false << int(ShiftState::Shift);
        QTest::newRow("AltGr") << QStringList{"RALT"} << false << int(ShiftState::AltGr);
        QTest::newRow("AltGr-Shift") << QStringList{"RALT", "RTSH"} << false << int(ShiftState::AltGrShift);
        QTest::newRow("Caps Lock") << QStringList{} << true << int(ShiftState::Norm);
        QTest::newRow("Caps Lock, Shift") << QStringList{"LFSH"} << true << int(ShiftState::Shift);
    }

    void everyKeyTypesTheTable()
    {
        QFETCH(QStringList, modifiers);
        QFETCH(bool, capsLock);
        QFETCH(int, state);
        if (capsLock) {
            press("CAPS");
            release("CAPS");
        }
        for (const QString &modifier : modifiers)
            press(modifier.toLatin1().constData());
        for (int number = 1; number <= KeyCount; ++number) {
            const s_key &key = KeyByNumber(KeyTable, number);
            ShiftState typed = ShiftState(state);
            // Caps Lock swaps Norm and Shift on the keys it acts on.
            if (capsLock && CapsSet(key))
                typed = typed == ShiftState::Norm ? ShiftState::Shift : ShiftState::Norm;
            edit()->clear();
            typeKey(number);
            QVERIFY2(edit()->text() == Expected(key, typed),
                     qPrintable(QStringLiteral("key %1: %2").arg(number).arg(status())));
        }
        for (const QString &modifier : modifiers)
            release(modifier.toLatin1().constData());
    }

    void statusAndHighlightFollowTheLastKey()
    {
        s_key &q = KeyByNumber(KeyTable, 14);
        SetCode(q, ShiftState::Norm, 0x439);
        SetCode(q, ShiftState::Shift, 0x419);
        editor->keyTableChanged();
        press("LFSH");
        typeKey(14);
        release("LFSH");
        QCOMPARE(edit()->text(), u"\u0419");
        QCOMPARE(status(), u"Q, Shift: U+0419 \u0419");
        QVERIFY(KeyCellOf(editor.get(), 14)->isHighlighted());
        typeKey(15);
        QVERIFY(!KeyCellOf(editor.get(), 14)->isHighlighted());
        QVERIFY(KeyCellOf(editor.get(), 15)->isHighlighted());
        window->close();
        QVERIFY(!KeyCellOf(editor.get(), 15)->isHighlighted());
    }

    void editingKeysKeepTheirMeaning()
    {
        typeKey(14);
        typeKey(15);
        QCOMPARE(edit()->text().size(), 2);
        send(QEvent::KeyPress, 14 + 8, Qt::Key_Backspace, QStringLiteral("\b"));  // KEY_BACKSPACE
        QCOMPARE(edit()->text(), Expected(KeyByNumber(KeyTable, 14), ShiftState::Norm));
        send(QEvent::KeyPress, 105 + 8, Qt::Key_Left);  // KEY_LEFT
        QCOMPARE(edit()->cursorPosition(), 0);
    }

    void ctrlShowsTheCtrlCode()
    {
        SetCode(KeyByNumber(KeyTable, 14), ShiftState::Ctrl, 0x11);
        editor->keyTableChanged();
        press("LCTL");
        // The desktop's own layout gives Ctrl+Q as the control character DC1.
        QKeyEvent ctrlQ(QEvent::KeyPress, Qt::Key_Q, Qt::ControlModifier, keycodes->keycodeOfKey(14), 0, 0,
                        QString(QChar(0x11)));
        QCoreApplication::sendEvent(edit(), &ctrlQ);
        release("LCTL");
        QCOMPARE(status(), u"Q, Ctrl: U+0011");
        QVERIFY(edit()->text().isEmpty());
    }

    void editInTheCharacterTableShowsInTheNextKey()
    {
        // Key 14 gets я (U+044F) in Norm through the character table.
        dialogs.fonts.push_back(QFont(QStringLiteral("Liberation Sans"), 10));  // asked for by the Unicode grid
        QTimer::singleShot(0, editor.get(), [this] {
            TForm2 *charTable = editor->charTable();
            ClickButton(Child<QRadioButton>(charTable, QStringLiteral("RB22")));
            QTest::mouseClick(Child<CharacterField>(charTable, QStringLiteral("TntLabel1")), Qt::LeftButton);
            auto *grid = Child<QTableView>(charTable, QStringLiteral("TntSG1"));
            ClickCell(grid, IndexOfCode(grid->model(), 0x044F));
            ClickButton(Child<QPushButton>(charTable, QStringLiteral("Button1")));
            if (charTable->isVisible())
                charTable->done(-1);
        });
        ClickKeyCell(editor.get(), 14);
        QCoreApplication::processEvents();
        QCOMPARE(KeyByNumber(KeyTable, 14).norm_code, u"044F");
        typeKey(14);
        QCOMPARE(edit()->text(), u"\u044F");
    }

    void noScanCodeSaysSo()
    {
        // What the offscreen platform and some remote desktops deliver.
        QTest::keyClicks(edit(), QStringLiteral("q"));
        QVERIFY(edit()->text().isEmpty());
        QCOMPARE(status(), TryWindow::NoScanCodeMessage);
        edit()->setText(QStringLiteral("ab"));
        QTest::keyClick(edit(), Qt::Key_Backspace);
        QCOMPARE(edit()->text(), u"a");
    }
};

TAVO_TEST(TestTryWindow)
#include "tst_trywindow.moc"
