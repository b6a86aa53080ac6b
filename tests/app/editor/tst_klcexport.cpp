// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editorwindow.h"
#include "fakedialogs.h"
#include "goldenfile.h"
#include "keyboardtest.h"
#include "klcdialog.h"
#include "testhelpers.h"
#include "testregistry.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

const QString WrongLength = QStringLiteral("Должно быть 8 символов!");

// The golden file of the default table, with another name in its first line.
QByteArray DefaultFileNamed(const QString &name)
{
    QByteArray bytes = ReadAll(GoldenFilePath(QStringLiteral("default.klc")));
    return bytes.replace(Utf16LeUnits(QStringLiteral("layout00")), Utf16LeUnits(name));
}

// Types text into a field key by key, as a user would; QTest::keyClicks covers Latin-1 only.
void TypeInto(QLineEdit *field, const QString &text)
{
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// Replaces the field's text by typing over it.
void Retype(QLineEdit *field, const QString &text)
{
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    TypeInto(field, text);
}

void ClickOk(TForm3 &dialog)
{
    QTest::mouseClick(Child<QPushButton>(&dialog, "Button1"), Qt::LeftButton);
}

} // namespace

class TestKlcExport : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeDialogs> dialogs;
    std::unique_ptr<QTemporaryDir> dir;
    QString previousDir;
    std::unique_ptr<TForm1> form;

    // Starts the export from the menu and runs act on the dialog while its exec runs.
    // Whatever act leaves open is closed through the close box afterwards, so a failed
    // check never leaves the test waiting on a modal dialog. False if no dialog came.
    bool exportWith(const std::function<void(TForm3 &)> &act, const char *item = "saveasklc1")
    {
        bool seen = false;
        QTimer poll;
        poll.setInterval(5);
        connect(&poll, &QTimer::timeout, &poll, [&] {
            auto *dialog = qobject_cast<TForm3 *>(QApplication::activeModalWidget());
            if (!dialog || seen)
                return;
            seen = true;
            poll.stop();
            act(*dialog);
            if (dialog->isVisible())
                dialog->close();
        });
        poll.start();
        TriggerMenuItem(form.get(), item);
        return seen;
    }

    // Exports with the given name and the other texts left at their defaults.
    bool exportNamed(const QString &name)
    {
        return exportWith([&](TForm3 &dialog) {
            Retype(Child<QLineEdit>(&dialog, "LEdit1"), name);
            ClickOk(dialog);
        });
    }

    QStringList filesHere() const { return QDir::current().entryList(QDir::Files | QDir::Hidden); }
    bool dialogGone() const { return form->findChildren<TForm3 *>().isEmpty(); }

private Q_SLOTS:
    void init()
    {
        dialogs = std::make_unique<FakeDialogs>();
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        previousDir = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir->path()));
        form = std::make_unique<TForm1>();
        QVERIFY(ShowOnScreen(form.get()));
    }

    void cleanup()
    {
        form.reset();
        QDir::setCurrent(previousDir);
        dir.reset();
        dialogs.reset();
    }

    // ---- The dialog --------------------------------------------------------------

    void dialogWindow()
    {
        QString title;
        QSize size, minimum, maximum;
        Qt::WindowFlags flags;
        QString focused, label1;
        QRect label1Geometry, nameGeometry;
        bool acceptedAtStart = true;
        QVERIFY(exportWith([&](TForm3 &dialog) {
            title = dialog.windowTitle();
            size = dialog.size();
            minimum = dialog.minimumSize();
            maximum = dialog.maximumSize();
            flags = dialog.windowFlags();
            focused = dialog.focusWidget() ? dialog.focusWidget()->objectName() : QString();
            label1 = Child<QLabel>(&dialog, "Label1")->text();
            label1Geometry = Child<QLabel>(&dialog, "Label1")->geometry();
            nameGeometry = Child<QLineEdit>(&dialog, "LEdit1")->geometry();
            acceptedAtStart = dialog.isAccepted();
        }));
        QCOMPARE(title, u"KLC");
        QCOMPARE(size, QSize(451, 197));
        QCOMPARE(minimum, size);
        QCOMPARE(maximum, size);
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QCOMPARE(focused, u"Button1");
        QCOMPARE(label1, u".klc");
        QVERIFY(label1Geometry.left() >= nameGeometry.right());
        QCOMPARE(label1Geometry.top(), nameGeometry.top());
        QVERIFY(!acceptedAtStart);
    }

    void fieldDefaults_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("typed");  // typed over the default text
        QTest::addColumn<QString>("kept");   // what the field then holds
        const QString long40 = QString(40, u'x');
        QTest::newRow("name") << "LEdit1" << "Name  " << "layout00" << 70
                              << "abcdefghijk" << "abcdefgh";
        QTest::newRow("description") << "LEdit2" << "Description  " << "Russian ()" << 331
                                     << long40 << long40;
        QTest::newRow("company") << "LEdit3" << "Company  " << "free" << 331 << long40 << long40;
        QTest::newRow("copyright") << "LEdit4" << "Copyright  " << "(C) 2006 free" << 331
                                   << long40 << long40;
        QTest::newRow("locale id") << "LEdit5" << "LocaleID  " << "00000419" << 70
                                   << "0000040900" << "00000409";
    }

    void fieldDefaults()
    {
        QFETCH(QString, field);
        QFETCH(QString, caption);
        QFETCH(QString, text);
        QFETCH(int, width);
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        QString shownText, labelText, afterTyping;
        int shownWidth = 0;
        bool labelLeftOfField = false;
        QVERIFY(exportWith([&](TForm3 &dialog) {
            auto *edit = dialog.findChild<QLineEdit *>(field);
            if (!edit)
                return;
            shownText = edit->text();
            shownWidth = edit->width();
            for (QLabel *label : dialog.findChildren<QLabel *>()) {
                if (label->buddy() == edit) {
                    labelText = label->text();
                    labelLeftOfField = label->geometry().right() < edit->x()
                                       && label->y() == edit->y();
                }
            }
            Retype(edit, typed);
            afterTyping = edit->text();
        }));
        QCOMPARE(shownText, text);
        QCOMPARE(shownWidth, width);
        QCOMPARE(labelText, caption);
        QVERIFY(labelLeftOfField);
        QCOMPARE(afterTyping, kept);
        QVERIFY(filesHere().isEmpty());
    }

    void tabOrder()
    {
        QStringList order;
        QVERIFY(exportWith([&](TForm3 &dialog) {
            for (int step = 0; step < 7 && dialog.focusWidget(); ++step) {
                order << dialog.focusWidget()->objectName();
                QTest::keyClick(dialog.focusWidget(), Qt::Key_Tab);
            }
        }));
        QCOMPARE(order, (QStringList{"Button1", "LEdit5", "LEdit1", "LEdit2", "LEdit3",
                                     "LEdit4", "Button1"}));
    }

    // ---- The name check ----------------------------------------------------------

    void wrongNameKeepsTheDialogOpen_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::newRow("three letters") << "abc" << WrongLength;
        QTest::newRow("empty") << "" << WrongLength;
        QTest::newRow("seven letters after a blank") << " abcdefg" << WrongLength;
        QTest::newRow("eight blanks") << "        " << WrongLength;
        QTest::newRow("a path") << "../../ab" << KlcNameNotAFileNameMessage;
    }

    void wrongNameKeepsTheDialogOpen()
    {
        QFETCH(QString, name);
        QFETCH(QString, message);
        bool openAfterOk = false;
        bool acceptedAfterOk = true;
        QString focused;
        QStringList messagesWhileOpen;
        QVERIFY(exportWith([&](TForm3 &dialog) {
            auto *nameField = Child<QLineEdit>(&dialog, "LEdit1");
            Retype(nameField, name);
            Child<QPushButton>(&dialog, "Button1")->setFocus();
            ClickOk(dialog);
            openAfterOk = dialog.isVisible();
            acceptedAfterOk = dialog.isAccepted();
            focused = dialog.focusWidget() ? dialog.focusWidget()->objectName() : QString();
            messagesWhileOpen = dialogs->messages;
            // Still open, so the user can put it right.
            Retype(nameField, QStringLiteral("abcdefgh"));
            ClickOk(dialog);
        }));
        QVERIFY(openAfterOk);
        QVERIFY(!acceptedAfterOk);
        QCOMPARE(focused, u"LEdit1");
        QCOMPARE(messagesWhileOpen, QStringList{message});
        QCOMPARE(dialogs->messages, (QStringList{message, QStringLiteral("Save  abcdefgh.klc")}));
        QCOMPARE(filesHere(), QStringList{u"abcdefgh.klc"_qs});
        QVERIFY(dialogs->errors.isEmpty());
    }

    // ---- The export --------------------------------------------------------------

    void validNameWritesTheFileHere()
    {
        const KeyTableArray before = KeyTable;
        QVERIFY(exportNamed(QStringLiteral("abcdefgh")));
        QCOMPARE(filesHere(), QStringList{u"abcdefgh.klc"_qs});
        QCOMPARE(ReadAll(QStringLiteral("abcdefgh.klc")), DefaultFileNamed(QStringLiteral("abcdefgh")));
        QCOMPARE(dialogs->messages, QStringList{u"Save  abcdefgh.klc"_qs});
        QVERIFY(dialogs->errors.isEmpty());
        QVERIFY(dialogs->fileDialogs.isEmpty());
        QVERIFY(KeyTable == before);
        QVERIFY(dialogGone());
    }

    // The menu bar's export asks where, offering the name the dialog gave.
    void menuBarExportAsksWhere()
    {
        QTemporaryDir elsewhere;
        const QString target = elsewhere.filePath(QStringLiteral("chosen.klc"));
        dialogs->filePaths = {target};
        QVERIFY(exportWith([&](TForm3 &dialog) {
            Retype(Child<QLineEdit>(&dialog, "LEdit1"), QStringLiteral("abcdefgh"));
            ClickOk(dialog);
        }, "actionExportKlc"));
        QCOMPARE(dialogs->fileDialogs.size(), 1);
        QCOMPARE(dialogs->fileDialogs[0].fileName, QDir::current().filePath(QStringLiteral("abcdefgh.klc")));
        QVERIFY(filesHere().isEmpty());
        QCOMPARE(ReadAll(target), DefaultFileNamed(QStringLiteral("abcdefgh")));
    }

    void defaultTextsExportAsLayout00()
    {
        QVERIFY(exportWith([](TForm3 &dialog) { ClickOk(dialog); }));
        TAVO_COMPARE_GOLDEN(ReadAll(QStringLiteral("layout00.klc")), QStringLiteral("default.klc"));
        QCOMPARE(dialogs->messages, QStringList{u"Save  layout00.klc"_qs});
    }

    void typedTextsGoInAsUnicode()
    {
        const QString name = QStringLiteral("раскладк");
        const QString description = QStringLiteral(" Русская \"ЯЖЭ\" ");
        const QString company = QStringLiteral("Ωmega ≠");
        QVERIFY(exportWith([&](TForm3 &dialog) {
            Retype(Child<QLineEdit>(&dialog, "LEdit1"), name);
            Retype(Child<QLineEdit>(&dialog, "LEdit2"), description);
            Retype(Child<QLineEdit>(&dialog, "LEdit3"), company);
            ClickOk(dialog);
        }));
        const QString fileName = name + QStringLiteral(".klc");
        QCOMPARE(filesHere(), QStringList{fileName});
        const QByteArray bytes = ReadAll(fileName);
        QVERIFY(bytes.startsWith(QByteArray("\xFF\xFE") + Utf16LeUnits(QStringLiteral("KBD\t") + name
                                 + QStringLiteral("\t\"") + description + QStringLiteral("\"\r\n"))));
        QVERIFY(bytes.contains(Utf16LeUnits(QStringLiteral("\r\nCOMPANY\t\"") + company + QStringLiteral("\"\r\n"))));
        QCOMPARE(dialogs->messages, QStringList{QStringLiteral("Save  ") + fileName});
    }

    // Pasted line breaks and TABs become blanks in the field, so the file keeps its lines.
    void pastedLineBreaksBecomeBlanks()
    {
        QString shown;
        QVERIFY(exportWith([&](TForm3 &dialog) {
            auto *description = Child<QLineEdit>(&dialog, "LEdit2");
            description->setFocus();
            description->selectAll();
            QGuiApplication::clipboard()->setText(QStringLiteral("one\r\nKEYNAME\ttwo"));
            QTest::keyClick(description, Qt::Key_V, Qt::ControlModifier);
            shown = description->text();
            ClickOk(dialog);
        }));
        QCOMPARE(shown, u"one  KEYNAME two");
        const QByteArray bytes = ReadAll(QStringLiteral("layout00.klc"));
        QCOMPARE(bytes.count(Utf16LeUnits(QStringLiteral("\r\n"))), KlcLineCount);
        QVERIFY(bytes.contains(Utf16LeUnits(QStringLiteral("\t\"one  KEYNAME two\"\r\n"))));
    }

    void secondExportReplacesTheFile()
    {
        QVERIFY(exportNamed(QStringLiteral("abcdefgh")));
        KeyByNumber(KeyTable, 2).norm_code = QStringLiteral("0031");
        QString nameOffered;
        QVERIFY(exportWith([&](TForm3 &dialog) {
            auto *nameField = Child<QLineEdit>(&dialog, "LEdit1");
            nameOffered = nameField->text();
            Retype(nameField, QStringLiteral("abcdefgh"));
            ClickOk(dialog);
        }));
        QCOMPARE(nameOffered, u"layout00");  // a new dialog, back to the defaults
        QCOMPARE(filesHere(), QStringList{u"abcdefgh.klc"_qs});
        const QByteArray bytes = ReadAll(QStringLiteral("abcdefgh.klc"));
        QVERIFY(bytes.contains(Utf16LeUnits(QStringLiteral("\r\n02\t1\t\t\t0\t0031\t-1\t-1\t-1\t-1\t-1\t\t//\r\n"))));
        QCOMPARE(bytes.size(), DefaultFileNamed(QStringLiteral("abcdefgh")).size() + 2 * 2);
        QCOMPARE(dialogs->messages.size(), 2);
    }

    void closeBoxWritesNothing()
    {
        bool acceptedBeforeClose = true;
        QVERIFY(exportWith([&](TForm3 &dialog) {
            Retype(Child<QLineEdit>(&dialog, "LEdit1"), QStringLiteral("abcdefgh"));
            acceptedBeforeClose = dialog.isAccepted();
            dialog.close();
        }));
        QVERIFY(!acceptedBeforeClose);
        QVERIFY(filesHere().isEmpty());
        QVERIFY(dialogs->messages.isEmpty());
        QVERIFY(dialogs->errors.isEmpty());
        QVERIFY(dialogGone());
    }
};

TAVO_TEST(TestKlcExport)
#include "tst_klcexport.moc"
