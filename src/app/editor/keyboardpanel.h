#pragma once

#include <QFrame>
#include <QWidget>

class KeyCell;

// The panel that fills the editor window and draws the keyboard picture: it paints its
// KeyCells, passes mouse presses on them to the cells and shows their hints. Its context
// menu opens anywhere but on a cell that takes presses.
class KeyboardPanel : public QWidget
{
    Q_OBJECT
public:
    explicit KeyboardPanel(QWidget *parent = nullptr);

    KeyCell *addCell(const QString &name, const QRect &geometry, const QColor &colour,
                     const QFont &font, QFrame::Shadow bevel);
    // The cell at a point of the panel, or nullptr.
    KeyCell *cellAt(const QPoint &pos) const;

    // How long a hint stays, in milliseconds; hints appear at once.
    static constexpr int HintDisplayTime = 5000;

protected:
    bool event(QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void showHint(KeyCell *cell, const QPoint &globalPos);

    QList<KeyCell *> m_cells;
    KeyCell *m_hinted = nullptr;
};
