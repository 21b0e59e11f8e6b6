#include "window/splitterdrag.h"

#include "browser/webbrowser.h"
#include "window/frmmain.h"
#include "window/richtextbox.h"
#include "window/splitterbar.h"
#include "window/twips.h"
#include "window/twipsgeometry.h"

namespace pagewick::window {

int draggedSplitterTop(int currentTop, int y, int grabY, int clientHeight)
{
    int top = currentTop + y - grabY;
    if (top < kSplitterMargin)
        top = kSplitterMargin;
    if (clientHeight - top < kSplitterMargin)
        top = clientHeight - kSplitterMargin;
    return top;
}

void grabSplitter(Frmmain &window, int yTwips)
{
    window.SplitterGrabY = yTwips;
}

void dragSplitter(Frmmain &window, int yTwips, Qt::MouseButtons buttons)
{
    if (buttons != Qt::MouseButtons(Qt::LeftButton))
        return;
    const int width = toTwips(window.width());
    const int height = toTwips(window.height());
    QRect bar = twipsGeometry(window.imgSizeH);
    const int top = draggedSplitterTop(bar.y(), yTwips, window.SplitterGrabY, height);
    bar.moveTop(top);
    placeTwips(window.imgSizeH, bar);

    QRect view = twipsGeometry(*window.WebBrowser1);
    view.setHeight(top - 320);
    placeTwips(*window.WebBrowser1, view);
    placeTwips(window.Text1, QRect(0, top + 60, width, height - top - 60 - 360));
}

} // namespace pagewick::window
