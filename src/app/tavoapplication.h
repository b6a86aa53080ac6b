// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>

// The application object: the program's name, version, desktop entry and icon.
class TavoApplication : public QApplication
{
    Q_OBJECT
public:
    TavoApplication(int &argc, char **argv);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
