// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "charsearch.h"

#include <QLineEdit>

class CharSearchModel;
class QTreeView;

// The character table's search field. Each change of its text runs a search and drops
// the results down under the field, over the rest of the window: Up and Down move in the
// list, Enter or a click chooses a row. Ctrl+F in the window puts the focus here.
class CharSearchField : public QLineEdit
{
    Q_OBJECT
public:
    explicit CharSearchField(QWidget *parent);

    bool isListShown() const;
    void hideList();
    // The finder behind the field, to see whether it has read the names yet.
    const CharFinder &finder() const { return m_finder; }

Q_SIGNALS:
    // A row was chosen: its code point, up to U+10FFFF.
    void characterChosen(char32_t code);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QTreeView *list();
    void search(const QString &text);
    void showList();
    void moveCurrent(int rows);
    void choose(const QModelIndex &index);

    CharFinder m_finder;
    CharSearchModel *m_model = nullptr;
    QTreeView *m_list = nullptr;
};
