// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "klcfile.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// The KLC properties dialog: name, description, company, copyright and locale id of the
// layout. Created for one export; its fields always start from the defaults.
class TForm3 : public QDialog
{
    Q_OBJECT
public:
    explicit TForm3(QWidget *parent = nullptr);

    // True only after OK with a valid name; the close box leaves it false.
    bool isAccepted() const { return Accepted; }
    // The texts as typed: untrimmed, in Unicode.
    KlcProperties properties() const;
    // Puts texts into the fields in place of the defaults (those of an imported file).
    void setProperties(const KlcProperties &properties);

private Q_SLOTS:
    void Button1Click();

private:
    void FormCreate();
    QLineEdit *addField(const char *name, const QString &caption, const QString &text,
                        int top, int width);

    QLineEdit *LEdit1 = nullptr;
    QLineEdit *LEdit2 = nullptr;
    QLineEdit *LEdit3 = nullptr;
    QLineEdit *LEdit4 = nullptr;
    QLineEdit *LEdit5 = nullptr;
    QLabel *Label1 = nullptr;
    QPushButton *Button1 = nullptr;
    bool Accepted = false;
};
