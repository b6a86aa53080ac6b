// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "trywindow.h"

#include "operationerror.h"
#include "xkbtrystate.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

const QString TryWindow::NoScanCodeMessage = QStringLiteral(
    "The window system gives no scan codes here, so the layout cannot be tried: "
    "nothing is typed rather than wrong characters.");

namespace {

bool IsModifierKey(int key)
{
    switch (key) {
    case Qt::Key_Shift: case Qt::Key_Control: case Qt::Key_Alt: case Qt::Key_AltGr: case Qt::Key_Meta:
    case Qt::Key_CapsLock: case Qt::Key_Super_L: case Qt::Key_Super_R: case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R: case Qt::Key_Mode_switch:
        return true;
    default:
        return false;
    }
}

} // namespace

TryWindow::TryWindow(const KeyTableArray &table, QWidget *parent)
    : QWidget(parent, Qt::Window), m_table(table)
{
    setObjectName(QStringLiteral("TryWindow"));
    setWindowTitle(QStringLiteral("Try layout"));

    auto *prompt = new QLabel(QStringLiteral("Type with the layout as it is now, unsaved edits included; "
                                             "nothing is installed:"), this);
    prompt->setWordWrap(true);
    TryEdit = new QLineEdit(this);
    TryEdit->setObjectName(QStringLiteral("TryEdit"));
    // Keys go to the keymap by scan code; an input method would compose them with the
    // desktop's layout instead.
    TryEdit->setAttribute(Qt::WA_InputMethodEnabled, false);
    QFont editFont = TryEdit->font();
    editFont.setPointSizeF(editFont.pointSizeF() * 1.5);
    TryEdit->setFont(editFont);
    TryEdit->installEventFilter(this);
    TryStatus = new QLabel(this);
    TryStatus->setObjectName(QStringLiteral("TryStatus"));
    TryStatus->setTextFormat(Qt::PlainText);
    TryStatus->setWordWrap(true);
    TryStatus->setMinimumHeight(TryStatus->fontMetrics().lineSpacing() * 2);
    TryStatus->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addWidget(TryEdit);
    layout->addWidget(TryStatus);
    resize(460, sizeHint().height());

    rebuild();
}

TryWindow::~TryWindow() = default;

void TryWindow::rebuild()
{
    try {
        if (m_state)
            m_state->rebuild(m_table);
        else
            m_state = std::make_unique<XkbTryState>(m_table);
        if (!m_error.isEmpty()) {
            m_error.clear();
            TryStatus->clear();
        }
    } catch (const OperationError &error) {
        // What is typed must be what would be installed: no keymap rather than the old one.
        m_state.reset();
        m_error = WithFullStop(error.message());
        TryStatus->setText(m_error);
    }
}

bool TryWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == TryEdit) {
        switch (event->type()) {
        case QEvent::KeyPress:
            return keyPressed(static_cast<QKeyEvent *>(event));
        case QEvent::KeyRelease: {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (m_state && key->nativeScanCode() != 0 && !key->isAutoRepeat())
                m_state->release(key->nativeScanCode());
            break;
        }
        case QEvent::FocusOut:
            // Keys released elsewhere never come back here.
            if (m_state)
                m_state->releaseAll();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool TryWindow::keyPressed(const QKeyEvent *event)
{
    // A key the desktop's own layout types with; editing keys and shortcuts give no text.
    const bool typesText = !event->text().isEmpty() && event->text().front().isPrint();
    if (!m_state) {
        if (typesText)
            TryStatus->setText(m_error);
        return typesText;
    }
    const quint32 scanCode = event->nativeScanCode();
    if (scanCode == 0) {
        if (typesText) {
            TryStatus->setText(NoScanCodeMessage);
            Q_EMIT keyTyped(0);
        }
        return typesText;
    }
    const XkbTypedKey typed = m_state->press(scanCode, event->isAutoRepeat());
    if (typed.keyNumber == 0) {
        if (!IsModifierKey(event->key()))
            Q_EMIT keyTyped(0);
        return false;  // Backspace, the arrows, Enter and the like edit as usual
    }
    TryStatus->setText(typed.status);
    Q_EMIT keyTyped(typed.keyNumber);
    if (typed.command)
        return false;  // the field's own shortcuts, Ctrl+A and the like
    if (!typed.text.isEmpty())
        TryEdit->insert(typed.text);
    return true;
}

void TryWindow::hideEvent(QHideEvent *event)
{
    if (m_state)
        m_state->releaseAll();
    Q_EMIT keyTyped(0);
    QWidget::hideEvent(event);
}
