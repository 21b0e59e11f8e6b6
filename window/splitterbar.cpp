#include "window/splitterbar.h"

#include "window/twips.h"

#include <QMouseEvent>

namespace pagewick::window {

SplitterBar::SplitterBar(QWidget *parent)
    : QWidget(parent)
{
    setCursor(Qt::SizeVerCursor);
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
}

void SplitterBar::mousePressEvent(QMouseEvent *event)
{
    emit pressed(toTwips(event->position().y()));
    event->accept();
}

void SplitterBar::mouseMoveEvent(QMouseEvent *event)
{
    emit moved(toTwips(event->position().y()), event->buttons());
    event->accept();
}

} // namespace pagewick::window
