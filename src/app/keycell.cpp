#include "keycell.h"

#include "keyviews.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

KeyCell::KeyCell(QWidget *parent)
    : QFrame(parent)
{
    setAutoFillBackground(true);
}

void KeyCell::setCaption(const QString &caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    const CaptionLines lines = SplitCaption(caption);
    m_upper = lines.upper;
    m_lower = lines.lower;
    update();
}

void KeyCell::setHint(const QString &hint)
{
    m_hint = hint;
    // The tooltip is rich text only so that blanks and line ends are kept; the hint
    // itself is escaped, so "<" or "&" in a key character stays a character.
    QStringList lines = hint.split(CaptionBreak);
    for (QString &line : lines)
        line = line.toHtmlEscaped();
    setToolTip(hint.isEmpty() ? QString()
                              : QStringLiteral("<p style='white-space:pre'>") + lines.join(u"<br>") + QStringLiteral("</p>"));
}

bool KeyCell::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::Enter:
        // Hints appear at once, not after the usual delay.
        showHint(QCursor::pos());
        break;
    case QEvent::ToolTip:
        showHint(static_cast<QHelpEvent *>(event)->globalPos());
        return true;
    default:
        break;
    }
    return QFrame::event(event);
}

void KeyCell::showHint(const QPoint &globalPos)
{
    if (!toolTip().isEmpty())
        QToolTip::showText(globalPos, toolTip(), this, rect(), HintDisplayTime);
}

void KeyCell::mousePressEvent(QMouseEvent *event)
{
    Q_EMIT mousePressed(event->button());
    event->accept();
}

void KeyCell::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    if (m_upper.isEmpty() && m_lower.isEmpty())
        return;
    QPainter painter(this);
    const QRect area = contentsRect().adjusted(1, 0, -1, 0);
    const int lineHeight = fontMetrics().height();
    const QRect upper(area.left(), area.top(), area.width(), lineHeight);
    painter.drawText(upper, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, m_upper);
    painter.drawText(upper.translated(0, lineHeight),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, m_lower);
}
