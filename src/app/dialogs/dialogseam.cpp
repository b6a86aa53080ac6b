// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogseam.h"

#include "dialogtitle.h"
#include "xkblayoutdialog.h"

#include <QFileDialog>
#include <QFontDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

DialogSeam::~DialogSeam() = default;

namespace {

// Message texts can be selected and copied: a command or a path they show, a report.
void MakeSelectable(QMessageBox &box)
{
    box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

void CentreOnScreen(QWidget &box)
{
    box.adjustSize();
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame = box.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        box.move(frame.topLeft());
    }
}

class QtDialogs final : public DialogSeam
{
public:
    bool runFileDialog(QWidget *parent, FileDialogSettings &settings) override
    {
        QFileDialog dialog(parent, settings.title);
        const bool save = settings.mode == FileDialogSettings::Mode::Save;
        dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        // Replacing an existing file is asked first: the save dialog offers the name chosen
        // last by any save, so a quick OK would otherwise overwrite the file just exported.
        dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
        dialog.setDefaultSuffix(settings.defaultSuffix);
        dialog.setNameFilter(settings.filter);
        if (!settings.fileName.isEmpty())
            dialog.selectFile(settings.fileName);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return false;
        settings.fileName = dialog.selectedFiles().constFirst();
        return true;
    }

    std::optional<QFont> chooseFont(QWidget *parent, const QFont &initial) override
    {
        bool ok = false;
        const QFont font = QFontDialog::getFont(&ok, initial, parent);
        if (!ok)
            return std::nullopt;
        return font;
    }

    void showMessage(QWidget *parent, const QString &text) override
    {
        QMessageBox box(QMessageBox::NoIcon, DialogTitle::current(), text, QMessageBox::Ok, parent);
        box.setTextFormat(Qt::PlainText);
        MakeSelectable(box);
        CentreOnScreen(box);
        box.exec();
    }

    void showError(QWidget *parent, const QString &text) override
    {
        QMessageBox box(QMessageBox::Critical, DialogTitle::current(), text, QMessageBox::Ok, parent);
        box.setTextFormat(Qt::PlainText);
        MakeSelectable(box);
        box.exec();
    }

    SaveChangesAnswer askSaveChanges(QWidget *parent, const QString &text) override
    {
        QMessageBox box(QMessageBox::Warning, DialogTitle::current(), text,
                        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
        box.setTextFormat(Qt::PlainText);
        MakeSelectable(box);
        box.setDefaultButton(QMessageBox::Save);
        switch (box.exec()) {
        case QMessageBox::Save: return SaveChangesAnswer::Save;
        case QMessageBox::Discard: return SaveChangesAnswer::Discard;
        default: return SaveChangesAnswer::Cancel;
        }
    }

    std::optional<QString> askText(QWidget *parent, const QString &label, const QString &initial) override
    {
        bool ok = false;
        const QString text = QInputDialog::getText(parent, DialogTitle::current(), label, QLineEdit::Normal, initial, &ok);
        if (!ok)
            return std::nullopt;
        return text;
    }

    bool askYesNo(QWidget *parent, const QString &text) override
    {
        QMessageBox box(QMessageBox::Question, DialogTitle::current(), text, QMessageBox::Yes | QMessageBox::No, parent);
        box.setTextFormat(Qt::PlainText);
        MakeSelectable(box);
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes;
    }

    std::optional<QString> chooseItem(QWidget *parent, const QString &label, const QStringList &items) override
    {
        bool ok = false;
        const QString item = QInputDialog::getItem(parent, DialogTitle::current(), label, items, 0, false, &ok);
        if (!ok)
            return std::nullopt;
        return item;
    }

    std::optional<XkbLayoutInfo> chooseXkbLayout(QWidget *parent, const QList<XkbLayoutInfo> &layouts,
                                                 const std::optional<XkbLayoutInfo> &preselected) override
    {
        XkbLayoutDialog dialog(layouts, preselected, parent);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.selectedLayout();
    }

    void showReport(QWidget *parent, const QString &text, const QStringList &details) override
    {
        QMessageBox box(QMessageBox::Information, DialogTitle::current(), text, QMessageBox::Ok, parent);
        box.setTextFormat(Qt::PlainText);
        MakeSelectable(box);
        box.setDetailedText(details.join(u'\n'));
        box.exec();
    }

    void showAbout(QWidget *parent, const QString &title, const QString &text) override
    {
        QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
        box.setTextFormat(Qt::PlainText);
        MakeSelectable(box);
        const QIcon icon = QGuiApplication::windowIcon();
        if (!icon.isNull())
            box.setIconPixmap(icon.pixmap(64, 64));
        box.exec();
    }
};

DialogSeam *installedSeam = nullptr;

} // namespace

DialogSeam &Dialogs()
{
    static QtDialogs qtDialogs;
    return installedSeam ? *installedSeam : qtDialogs;
}

void SetDialogs(DialogSeam *seam)
{
    installedSeam = seam;
}
