#pragma once

#include <QFrame>

// A static text cell of the keyboard picture (the key cells and the fixed-key labels).
// Its caption is plain text in two lines: the part before the first "\n\r" on the upper
// line, the rest on the lower one; "&&" is drawn as one ampersand. The hint is shown as
// the cell's tooltip, each "\n\r"-separated line on a line of its own.
class KeyCell : public QFrame
{
    Q_OBJECT
    Q_PROPERTY(QString caption READ caption WRITE setCaption)
    Q_PROPERTY(QString hint READ hint WRITE setHint)
public:
    explicit KeyCell(QWidget *parent = nullptr);

    const QString &caption() const { return m_caption; }
    void setCaption(const QString &caption);
    const QString &hint() const { return m_hint; }
    void setHint(const QString &hint);

    // Hint display time, in milliseconds.
    static constexpr int HintDisplayTime = 5000;

Q_SIGNALS:
    void mousePressed(Qt::MouseButton button);

protected:
    bool event(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void showHint(const QPoint &globalPos);

    QString m_caption;
    QString m_hint;
    QString m_upper;
    QString m_lower;
};
