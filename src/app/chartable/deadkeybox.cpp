// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "deadkeybox.h"

#include "composition.h"
#include "deadpairs.h"
#include "keytexts.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>

#include <algorithm>

namespace {

constexpr int BaseColumn = 0;
constexpr int ResultColumn = 1;

// The first character of a typed text, a surrogate pair as one; a blank counts, as the
// space bar is a base like any other.
QString PairCharacter(const QString &text)
{
    const bool pair = text.size() > 1 && text.at(0).isHighSurrogate() && text.at(1).isLowSurrogate();
    return text.left(pair ? 2 : 1);
}

} // namespace

DeadKeyBox::DeadKeyBox(QWidget *parent)
    : QGroupBox(QStringLiteral("Dead key"), parent)
{
    setObjectName(QStringLiteral("DeadBox"));

    m_check = new QCheckBox(QStringLiteral("dead key"), this);
    m_check->setObjectName(QStringLiteral("DeadCheck"));
    m_check->setGeometry(10, 20, 210, 17);
    connect(m_check, &QCheckBox::toggled, this, &DeadKeyBox::deadCheckToggled);

    m_pairs = new QTableWidget(0, 2, this);
    m_pairs->setObjectName(QStringLiteral("DeadPairs"));
    m_pairs->setGeometry(10, 44, 210, 240);
    m_pairs->setHorizontalHeaderLabels({QStringLiteral("base"), QStringLiteral("result")});
    m_pairs->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_pairs->verticalHeader()->hide();
    m_pairs->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(m_pairs, &QTableWidget::itemChanged, this, &DeadKeyBox::pairEdited);

    const auto button = [this](const QString &caption, const char *name, const QRect &geometry) {
        auto *made = new QPushButton(caption, this);
        made->setObjectName(QString::fromLatin1(name));
        made->setGeometry(geometry);
        // Enter goes to the focused control, as in the rest of the window.
        made->setAutoDefault(false);
        return made;
    };
    m_add = button(QStringLiteral("add"), "DeadAdd", QRect(10, 290, 100, 25));
    connect(m_add, &QPushButton::clicked, this, &DeadKeyBox::addPair);
    m_remove = button(QStringLiteral("remove"), "DeadRemove", QRect(120, 290, 100, 25));
    connect(m_remove, &QPushButton::clicked, this, &DeadKeyBox::removePairs);
    m_fill = button(QStringLiteral("Fill from Unicode"), "DeadFill", QRect(10, 320, 210, 25));
    connect(m_fill, &QPushButton::clicked, this, &DeadKeyBox::fillRequested);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("DeadStatus"));
    m_status->setTextFormat(Qt::PlainText);
    m_status->setWordWrap(true);
    m_status->setGeometry(10, 348, 210, 32);

    showPairs();
}

void DeadKeyBox::setDeadKeys(const std::array<std::optional<DeadKey>, 6> &deadKeys)
{
    for (int i = 0; i < 6; ++i) {
        m_dead[i] = deadKeys[i].has_value();
        m_keys[i] = deadKeys[i].value_or(DeadKey{});
    }
    m_status->clear();
    showPairs();
}

std::array<std::optional<DeadKey>, 6> DeadKeyBox::deadKeys() const
{
    std::array<std::optional<DeadKey>, 6> deadKeys;
    for (int i = 0; i < 6; ++i) {
        if (m_dead[i])
            deadKeys[i] = m_keys[i];
    }
    return deadKeys;
}

void DeadKeyBox::showState(int state)
{
    if (state < 1 || state > 6)
        return;
    m_state = state;
    m_status->clear();
    showPairs();
}

void DeadKeyBox::showPairs()
{
    const int i = m_state - 1;
    const QSignalBlocker checkBlocker(m_check);
    const QSignalBlocker pairsBlocker(m_pairs);
    m_check->setChecked(m_dead[i]);
    m_pairs->clearContents();
    m_pairs->setRowCount(int(m_keys[i].pairs.size()));
    for (int row = 0; row < m_pairs->rowCount(); ++row) {
        m_pairs->setItem(row, BaseColumn, new QTableWidgetItem(m_keys[i].pairs[row].base));
        m_pairs->setItem(row, ResultColumn, new QTableWidgetItem(m_keys[i].pairs[row].result));
    }
    m_pairs->setCurrentItem(nullptr);
    m_pairs->clearSelection();
    for (QWidget *control : {static_cast<QWidget *>(m_pairs), static_cast<QWidget *>(m_add),
                             static_cast<QWidget *>(m_remove), static_cast<QWidget *>(m_fill)})
        control->setEnabled(m_dead[i]);
}

void DeadKeyBox::deadCheckToggled(bool checked)
{
    m_dead[m_state - 1] = checked;
    showPairs();
}

void DeadKeyBox::pairEdited(QTableWidgetItem *item)
{
    const QString character = PairCharacter(item->text());
    if (character != item->text()) {
        const QSignalBlocker blocker(m_pairs);
        item->setText(character);
    }
    DeadPair &pair = m_keys[m_state - 1].pairs[item->row()];
    (item->column() == BaseColumn ? pair.base : pair.result) = character;
}

bool DeadKeyBox::pick(const QString &character)
{
    QTableWidgetItem *item = m_pairs->currentItem();
    if (!m_dead[m_state - 1] || !item || !item->isSelected())
        return false;
    item->setText(ShownKeyText(character));
    // A picked base is followed by its result.
    if (item->column() == BaseColumn)
        m_pairs->setCurrentCell(item->row(), ResultColumn);
    return true;
}

void DeadKeyBox::addPair()
{
    m_keys[m_state - 1].pairs.append(DeadPair{});
    showPairs();
    m_pairs->setCurrentCell(m_pairs->rowCount() - 1, BaseColumn);
}

void DeadKeyBox::removePairs()
{
    const int row = m_pairs->currentRow();
    if (row < 0)
        return;
    m_keys[m_state - 1].pairs.removeAt(row);
    showPairs();
    if (m_pairs->rowCount() > 0)
        m_pairs->setCurrentCell(std::min(row, m_pairs->rowCount() - 1), BaseColumn);
}

void DeadKeyBox::fillFromUnicode(const QString &accent, const QStringList &bases)
{
    const int i = m_state - 1;
    if (!m_dead[i])
        return;
    const int added = AddUnicodeDeadPairs(m_keys[i], accent, bases);
    showPairs();
    const QString shown = ShownKeyText(TrimKeyText(accent));
    if (added == 1)
        m_status->setText(QStringLiteral("1 pair added"));
    else if (added > 1)
        m_status->setText(QStringLiteral("%1 pairs added").arg(added));
    else if (CombiningMarksOf(shown).isEmpty())
        m_status->setText(QStringLiteral("\"%1\" is no accent that Unicode composes with").arg(shown));
    else
        m_status->setText(QStringLiteral("No pairs to add"));
}

bool DeadKeyBox::isDead() const
{
    return m_check->isChecked();
}

void DeadKeyBox::setDead(bool dead)
{
    m_check->setChecked(dead);
}
