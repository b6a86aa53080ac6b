// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "keytable.h"

#include <QGroupBox>

#include <array>
#include <optional>

class QCheckBox;
class QLabel;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;

// The character table's dead-key controls: whether the selected state is a dead key, and
// its table of base and result characters. It holds the dead keys of all six states of
// the key being edited; picks from the grid or the search go into a selected pair cell.
class DeadKeyBox : public QGroupBox
{
    Q_OBJECT
public:
    explicit DeadKeyBox(QWidget *parent = nullptr);

    // Index s-1 holds ShiftState s.
    void setDeadKeys(const std::array<std::optional<DeadKey>, 6> &deadKeys);
    std::array<std::optional<DeadKey>, 6> deadKeys() const;
    // Shows the dead key of a state, 1 to 6, with no pair cell selected.
    void showState(int state);
    // Whether the state shown is a dead key; setDead marks it or not, as its check box does.
    bool isDead() const;
    void setDead(bool dead);
    // Puts a pick (one character, "&&" for the ampersand, or nothing) into the selected pair
    // cell; false when none is selected.
    bool pick(const QString &character);
    // Adds the pairs canonical composition gives for the accent and the bases, and says
    // how many it added.
    void fillFromUnicode(const QString &accent, const QStringList &bases);

Q_SIGNALS:
    // "Fill from Unicode" was pressed; the window answers with fillFromUnicode.
    void fillRequested();

private:
    void showPairs();
    void deadCheckToggled(bool checked);
    void pairEdited(QTableWidgetItem *item);
    void addPair();
    void removePairs();

    QCheckBox *m_check = nullptr;
    QTableWidget *m_pairs = nullptr;
    QPushButton *m_add = nullptr;
    QPushButton *m_remove = nullptr;
    QPushButton *m_fill = nullptr;
    QLabel *m_status = nullptr;
    int m_state = 1;
    // The table of each state, kept while its box is unticked so a slip loses nothing.
    std::array<DeadKey, 6> m_keys;
    std::array<bool, 6> m_dead{};
};
