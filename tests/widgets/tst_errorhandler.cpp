#include "fakedialogs.h"
#include "fileerror.h"
#include "operation.h"
#include "testmain.h"

class TestErrorHandler : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void failureIsShownWithItsFullStop_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("create") << "Cannot create file /x/a.ukb" << "Cannot create file /x/a.ukb.";
        QTest::newRow("ends in a stop") << "I/O error." << "I/O error.";
        QTest::newRow("ends in a bracket") << "save (x)" << "save (x)";
    }

    void failureIsShownWithItsFullStop()
    {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        FakeDialogs dialogs;
        bool reachedAfterThrow = false;
        const bool succeeded = RunOperation(nullptr, [&] {
            throw FileError(message);
            reachedAfterThrow = true;
        });
        QVERIFY(!succeeded);
        QVERIFY(!reachedAfterThrow);
        QCOMPARE(dialogs.errors, QStringList{shown});
        QVERIFY(dialogs.messages.isEmpty());
    }

    void successShowsNothing()
    {
        FakeDialogs dialogs;
        int runs = 0;
        QVERIFY(RunOperation(nullptr, [&] { ++runs; }));
        QCOMPARE(runs, 1);
        QVERIFY(dialogs.errors.isEmpty());
    }
};

TAVO_TEST_MAIN(TestErrorHandler)
#include "tst_errorhandler.moc"
