// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "keyedit.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QFont>

#include <array>

class CharGridView;
class CharSearchField;
class CharTableModel;
class CharacterField;
class DeadKeyBox;
class QAction;
class QCheckBox;
class QMenu;
class QGroupBox;
class QLabel;
class QMouseEvent;
class QPushButton;
class QRadioButton;

// The character table: the six characters and codes of one key, its Caps Lock flag, its
// dead keys and a grid to pick characters from. The editor fills it before each edit, shows it modally
// and reads it back after OK; the window itself never touches the key table. What the
// editor does not overwrite (font, character set, grid position, selected state after a
// cancel) stays from one opening to the next.
class TForm2 : public QDialog
{
    Q_OBJECT
public:
    explicit TForm2(QWidget *parent = nullptr);
    ~TForm2() override;

    // Writes the key's name line, codes, characters and Caps Lock flag into the fields.
    void setKeyEdit(const KeyEdit &edit);
    // The fields as they stand; the name line is what setKeyEdit wrote.
    KeyEdit keyEdit() const;

    // Rewrites the grid for the character set that is checked.
    void FillGrid();
    // Asks for the grid's font; on confirmation sizes and refills the grid for the
    // checked character set. A cancelled dialog changes nothing.
    void ChooseGridFont();
    // The press on the key that opens the window, in global coordinates: the second press of
    // a double click begun there must not reach the window. No button when the keyboard
    // opened it.
    void setOpeningPress(Qt::MouseButton button, const QPoint &globalPos);
    // Puts the focus on the search field, as Ctrl+F does.
    void focusSearchField();
    // The characters the layout types: the bases "Fill from Unicode" offers pairs for.
    void setTypedCharacters(const QStringList &characters);

public Q_SLOTS:
    void TntSG1SelectCell(const QModelIndex &index);
    void RB11Click();
    void RB22Click();
    void Button1Click();
    // A character chosen in the search list: picked as a click on its cell picks it, also
    // beyond U+FFFF, where the grid has no cell.
    void SearchEditPick(char32_t code);

    // Whether the dead-key box is shown, right of the other controls: while it is hidden
    // the window has its usual size.
    bool isDeadKeyBoxShown() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    // The popup menu: "dead key" marks the selected state as one, and shows the box.
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void showDeadKeyBox(bool shown);
    void FormCreate();
    void buildControls();
    void buildStates(QWidget *box);
    void TntLabelMouseDown(int state, Qt::MouseButton button);
    bool FormKeyDown(int key);
    bool dropsEarlyMouseEvent(const QMouseEvent &event);
    int selectedState() const;
    void fillDeadKeyFromUnicode();

    QGroupBox *GroupBox1 = nullptr;
    QGroupBox *GB2 = nullptr;
    QRadioButton *RB11 = nullptr;
    QRadioButton *RB22 = nullptr;
    QLabel *Label7 = nullptr;
    CharSearchField *SearchEdit = nullptr;
    CharGridView *TntSG1 = nullptr;
    CharTableModel *m_gridModel = nullptr;
    QCheckBox *CB1 = nullptr;
    // Index s-1 holds the controls of ShiftState s.
    std::array<QLabel *, 6> m_codeFields{};        // Label1..Label6
    std::array<CharacterField *, 6> m_charFields{};  // TntLabel1..TntLabel6
    std::array<QRadioButton *, 6> m_stateButtons{};  // RB1..RB6
    QPushButton *Button1 = nullptr;
    QLabel *Label8 = nullptr;
    DeadKeyBox *m_deadBox = nullptr;
    QMenu *m_popup = nullptr;
    QAction *m_deadKeyItem = nullptr;
    QStringList m_typedCharacters;
    // The font dialog's font: "MS Sans Serif" 8 pt at first, then the last one chosen.
    QFont FD1;
    // The press that opened the window and since when, and the buttons whose press is
    // being dropped.
    Qt::MouseButton m_openingButton = Qt::NoButton;
    QPoint m_openingPos;
    QElapsedTimer m_openedAt;
    Qt::MouseButtons m_droppedButtons;
};
