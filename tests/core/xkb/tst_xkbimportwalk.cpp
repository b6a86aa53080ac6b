// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "operationerror.h"
#include "testhelpers.h"
#include "testregistry.h"
#include "xkbimport.h"
#include "xkbregistry.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTest>

namespace {

// Every layout and variant of the system's XKB database imports: what a layout cannot
// carry is only reported. The walk compiles some 700 keymaps, so it is two tests of its own,
// each taking every other layout, which CTest runs side by side.
void WalkSystemLayouts(int half)
{
    const QList<XkbLayoutInfo> allLayouts = XkbRegistryLayouts(XkbLayoutSource::System);
    QList<XkbLayoutInfo> layouts;
    for (qsizetype i = half; i < allLayouts.size(); i += 2)
        layouts.append(allLayouts[i]);
    QVERIFY(layouts.size() > 50);
    const QString root = qEnvironmentVariableIsSet("XKB_CONFIG_ROOT")
        ? qEnvironmentVariable("XKB_CONFIG_ROOT") : QStringLiteral("/usr/share/X11/xkb");
    QElapsedTimer timer;
    timer.start();
    QStringList failures;
    QStringList skipped;
    qsizetype imported = 0;
    qsizetype deadKeys = 0;
    for (const XkbLayoutInfo &info : layouts) {
        // The registry lists slots such as "custom" for which the data ship no file.
        if (!QFile::exists(root + QStringLiteral("/symbols/") + info.layout)) {
            skipped << info.fullName();
            continue;
        }
        const QString error = ErrorOf([&] {
            const LayoutImport result = ImportXkbLayout(info.layout, info.variant);
            bool any = false;
            for (const s_key &key : result.table)
                any = any || !key.norm_code.isEmpty();
            if (!any)
                throw OperationError(QStringLiteral("no key has a Norm character"));
            // Every dead keysym becomes a dead key.
            for (const QString &line : result.report.lines()) {
                if (line.contains(QLatin1String("dead_")))
                    throw OperationError(line);
            }
            for (const s_key &key : result.table) {
                for (const ShiftState state : AllShiftStates)
                    deadKeys += DeadOf(key, state) ? 1 : 0;
            }
        });
        if (!error.isEmpty())
            failures << info.fullName() + QStringLiteral(": ") + error;
        ++imported;
    }
    qInfo("%lld layouts and variants imported in %lld ms, with %lld dead keys; without a symbols file: %s",
          qlonglong(imported), qlonglong(timer.elapsed()), qlonglong(deadKeys), qPrintable(skipped.join(u' ')));
    QVERIFY(imported > 50);
    QVERIFY2(failures.isEmpty(), qPrintable(failures.join(u'\n')));
}

} // namespace

class TestXkbImportWalkEven : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void everyOtherSystemLayoutImports() { WalkSystemLayouts(0); }
};

class TestXkbImportWalkOdd : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void everyOtherSystemLayoutImports() { WalkSystemLayouts(1); }
};

TAVO_TEST(TestXkbImportWalkEven)
TAVO_TEST(TestXkbImportWalkOdd)
#include "tst_xkbimportwalk.moc"
