// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The bare window that bench_editorwindow compares the editor's start-up with: a plain Qt
// window with the editor's caption and size that shows the same texts in the same fonts and
// places, each a QLabel, and nothing else. It reports and ends once exposed.
//
//   bench_barewindow CAPTIONS   CAPTIONS: what `bench_editorwindow --captions` printed
#include "exposurereport.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QFile captions(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString());
    if (!captions.open(QIODevice::ReadOnly))
        return 1;
    QWidget window;
    window.setFixedSize(570, 304);
    // The first line is the window's caption, each other one "x y w h<TAB>font<TAB>text".
    window.setWindowTitle(QString::fromUtf8(captions.readLine()).chopped(1));
    while (!captions.atEnd()) {
        const QStringList fields = QString::fromUtf8(captions.readLine()).chopped(1).split(u'\t');
        const QStringList rect = fields.value(0).split(u' ');
        if (fields.size() != 3 || rect.size() != 4)
            return 1;
        auto *label = new QLabel(QString(fields[2]).replace(QStringLiteral("\\n"), QStringLiteral("\n")), &window);
        label->setGeometry(rect[0].toInt(), rect[1].toInt(), rect[2].toInt(), rect[3].toInt());
        QFont font;
        font.fromString(fields[1]);
        label->setFont(font);
    }
    window.show();
    new ExposureReporter(&window);
    return app.exec();
}
