#include "fakedialogs.h"
#include "fileerror.h"
#include "testmain.h"

#include <QPushButton>
#include <QTimer>

class TestErrorHandler : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void messageGetsItsFullStop_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("create") << "Cannot create file /x/a.ukb" << "Cannot create file /x/a.ukb.";
        QTest::newRow("ends in a stop") << "I/O error." << "I/O error.";
        QTest::newRow("ends in a bracket") << "save (x)" << "save (x)";
    }

    void messageGetsItsFullStop()
    {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        FakeDialogs dialogs;
        QMetaObject::invokeMethod(qApp, [message] { throw FileError(message); }, Qt::QueuedConnection);
        QCoreApplication::processEvents();
        QCOMPARE(dialogs.errors, QStringList{shown});
        QVERIFY(dialogs.messages.isEmpty());
    }

    void errorInAClickHandlerEndsOnlyThatOperation()
    {
        FakeDialogs dialogs;
        QPushButton button;
        int reachedAfterThrow = 0;
        int clicks = 0;
        QObject::connect(&button, &QPushButton::clicked, &button, [&] {
            ++clicks;
            if (clicks == 1) {
                throw FileError(QStringLiteral("Disk full"));
                ++reachedAfterThrow;
            }
        }, Qt::QueuedConnection);
        button.show();
        QTest::mouseClick(&button, Qt::LeftButton);
        QCoreApplication::processEvents();
        QCOMPARE(dialogs.errors, QStringList{QStringLiteral("Disk full.")});
        QCOMPARE(reachedAfterThrow, 0);

        // The program goes on: the next click is handled normally.
        QTest::mouseClick(&button, Qt::LeftButton);
        QCoreApplication::processEvents();
        QCOMPARE(clicks, 2);
        QCOMPARE(dialogs.errors.size(), 1);
    }

    void timerEventsKeepRunning()
    {
        FakeDialogs dialogs;
        int ticks = 0;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, &timer, [&] {
            if (++ticks == 1)
                throw FileError(QStringLiteral("File not found"));
        });
        timer.start(0);
        QTRY_VERIFY(ticks >= 3);
        QCOMPARE(dialogs.errors, QStringList{QStringLiteral("File not found.")});
    }
};

TAVO_TEST_MAIN(TestErrorHandler)
#include "tst_errorhandler.moc"
