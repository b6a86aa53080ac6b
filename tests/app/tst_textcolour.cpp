// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "keyboardgeometry.h"
#include "keytable.h"
#include "testregistry.h"
#include "textcolour.h"

#include <QTest>

namespace {

// A palette with this window, text, highlight and highlighted-text colours.
QPalette PaletteOf(QRgb window, QRgb text, QRgb highlight, QRgb highlightedText)
{
    QPalette palette{QColor(text), QColor(window)};
    palette.setColor(QPalette::WindowText, QColor(text));
    palette.setColor(QPalette::Light, QColor(window).lighter(150));
    palette.setColor(QPalette::ToolTipBase, QColor(window));
    palette.setColor(QPalette::Highlight, QColor(highlight));
    palette.setColor(QPalette::HighlightedText, QColor(highlightedText));
    return palette;
}

} // namespace

class TestTextColour : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Every fill the key cells, the fixed-key labels, a highlighted key and the character
    // fields draw, under light, dark and high-contrast themes.
    void everyFillReads_data()
    {
        QTest::addColumn<QPalette>("palette");
        QTest::addColumn<QColor>("fill");
        QTest::addColumn<int>("role");
        const std::pair<const char *, QPalette> palettes[] = {
            {"light", PaletteOf(0xefefef, 0x000000, 0x308cc6, 0xffffff)},
            {"dark", PaletteOf(0x353535, 0xeeeeec, 0x15539e, 0xffffff)},
            {"high contrast dark", PaletteOf(0x000000, 0xffffff, 0xffff00, 0x000000)},
            {"high contrast light", PaletteOf(0xffffff, 0x000000, 0x000080, 0xffffff)},
        };
        for (const auto &[name, palette] : palettes) {
            for (int number = 1; number <= KeyCount; ++number) {
                QTest::addRow("%s, key %d", name, number)
                    << palette << KeyCellColour(number, palette.color(QPalette::ToolTipBase))
                    << int(QPalette::WindowText);
            }
            QTest::addRow("%s, label", name) << palette << palette.color(QPalette::Light) << int(QPalette::WindowText);
            QTest::addRow("%s, highlighted key", name)
                << palette << palette.color(QPalette::Highlight) << int(QPalette::HighlightedText);
            QTest::addRow("%s, character field", name) << palette << QColor(255, 251, 240) << int(QPalette::WindowText);
        }
    }
    void everyFillReads()
    {
        QFETCH(QPalette, palette);
        QFETCH(QColor, fill);
        QFETCH(int, role);
        const QColor text = ReadableTextColour(fill, palette, QPalette::ColorRole(role));
        QVERIFY2(ContrastRatio(text, fill) >= 4.5, qPrintable(text.name() + QStringLiteral(" on ") + fill.name()));
    }

    // Where the theme's own text reads, it is kept: a light theme looks as it always did.
    void themeKeptWhereReadable()
    {
        const QPalette light = PaletteOf(0xefefef, 0x202020, 0x308cc6, 0xffffff);
        QCOMPARE(ReadableTextColour(QColor(255, 251, 240), light), QColor(0x202020));
        QCOMPARE(ContrastRatio(Qt::black, Qt::white), 21.0);
    }
};

TAVO_TEST(TestTextColour)
#include "tst_textcolour.moc"
