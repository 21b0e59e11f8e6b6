#pragma once

#include <QWidget>

namespace pagewick::window {

// A bare strip of the window's background between the browser and the result
// box. It only reports the mouse; the window decides what a drag does.
// Positions are in twips from the bar's own top.
class SplitterBar : public QWidget
{
    Q_OBJECT

public:
    explicit SplitterBar(QWidget *parent = nullptr);

signals:
    void pressed(int yTwips);
    // Every move over the bar or while it holds the mouse, with the buttons held then.
    void moved(int yTwips, Qt::MouseButtons buttons);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
};

} // namespace pagewick::window
