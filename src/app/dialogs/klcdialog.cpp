// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "klcdialog.h"

#include "dialogseam.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QValidator>

#include <utility>

namespace {

constexpr int LabelLeft = 8;
constexpr int FieldLeft = 96;
constexpr int FieldHeight = 21;
constexpr int NarrowWidth = 70;
constexpr int WideWidth = 331;

// Makes each control character a blank as it is typed or pasted, so a header text never
// adds lines or columns to the file.
class HeaderTextValidator : public QValidator
{
public:
    using QValidator::QValidator;

    State validate(QString &input, int &) const override
    {
        input = BlankKlcHeaderText(std::move(input));
        return Acceptable;
    }
};

} // namespace

TForm3::TForm3(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("KLC"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
                   | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(451, 197);
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));

    const KlcProperties defaults;
    LEdit1 = addField("LEdit1", QStringLiteral("Name  "), defaults.name, 16, NarrowWidth);
    LEdit1->setMaxLength(8);
    LEdit2 = addField("LEdit2", QStringLiteral("Description  "), defaults.description, 46, WideWidth);
    LEdit3 = addField("LEdit3", QStringLiteral("Company  "), defaults.company, 76, WideWidth);
    LEdit4 = addField("LEdit4", QStringLiteral("Copyright  "), defaults.copyright, 106, WideWidth);
    LEdit5 = addField("LEdit5", QStringLiteral("LocaleID  "), defaults.localeId, 150, NarrowWidth);
    LEdit5->setMaxLength(8);
    auto *headerText = new HeaderTextValidator(this);
    for (QLineEdit *field : {LEdit2, LEdit3, LEdit4, LEdit5})
        field->setValidator(headerText);

    Label1 = new QLabel(QStringLiteral(".klc"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(FieldLeft + NarrowWidth + 4, 16, 40, FieldHeight);

    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(352, 148, 75, 25);
    connect(Button1, &QPushButton::clicked, this, &TForm3::Button1Click);

    setTabOrder(LEdit1, LEdit2);
    setTabOrder(LEdit2, LEdit3);
    setTabOrder(LEdit3, LEdit4);
    setTabOrder(LEdit4, Button1);
    setTabOrder(Button1, LEdit5);
    // Taken over as the window's focus when the dialog is shown.
    Button1->setFocus();

    FormCreate();
}

QLineEdit *TForm3::addField(const char *name, const QString &caption, const QString &text,
                            int top, int width)
{
    auto *field = new QLineEdit(text, this);
    field->setObjectName(QString::fromLatin1(name));
    field->setGeometry(FieldLeft, top, width, FieldHeight);
    auto *label = new QLabel(caption, this);
    label->setObjectName(QString::fromLatin1(name) + QStringLiteral("Label"));
    label->setGeometry(LabelLeft, top, FieldLeft - LabelLeft, FieldHeight);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setBuddy(field);
    return field;
}

void TForm3::FormCreate()
{
    Accepted = false;
}

KlcProperties TForm3::properties() const
{
    KlcProperties entered;
    entered.name = LEdit1->text();
    entered.description = LEdit2->text();
    entered.company = LEdit3->text();
    entered.copyright = LEdit4->text();
    entered.localeId = LEdit5->text();
    return entered;
}

void TForm3::setProperties(const KlcProperties &properties)
{
    LEdit1->setText(properties.name);
    LEdit2->setText(properties.description);
    LEdit3->setText(properties.company);
    LEdit4->setText(properties.copyright);
    LEdit5->setText(properties.localeId);
}

void TForm3::Button1Click()
{
    switch (CheckKlcName(LEdit1->text())) {
    case KlcNameCheck::Valid:
        Accepted = true;
        accept();
        return;
    case KlcNameCheck::WrongLength:
        Dialogs().showMessage(this, QStringLiteral("Должно быть 8 символов!"));
        break;
    case KlcNameCheck::NotAFileName:
        Dialogs().showMessage(this, KlcNameNotAFileNameMessage);
        break;
    }
    LEdit1->setFocus();
}
