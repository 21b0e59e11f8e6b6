#include "window/layout.h"

#include "browser/webbrowser.h"
#include "window/frmmain.h"
#include "window/richtextbox.h"
#include "window/splitterbar.h"
#include "window/twips.h"
#include "window/twipsgeometry.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include <cmath>

namespace pagewick::window {

namespace {

int clientWidth(const Frmmain &window)
{
    return toTwips(window.width());
}

int clientHeight(const Frmmain &window)
{
    return toTwips(window.height());
}

void placeButtons(Frmmain &window)
{
    struct Slot
    {
        QPushButton *button;
        int fromRight;
        int width;
    };
    const Slot placements[] = {
        {window.Cmd_goto, 5250, 1000}, {window.Cmd_tiqu, 4250, 1000},
        {window.Cmd_save, 3250, 1000}, {window.Cmd_next, 2250, 1200},
        {window.Cmd_setup, 1050, 1000},
    };
    for (const Slot &slot : placements)
        placeTwips(slot.button, QRect(clientWidth(window) - slot.fromRight, 0, slot.width, 300));
}

void widenAddressBox(Frmmain &window)
{
    const QRect box = twipsGeometry(window.Combo1);
    placeTwips(window.Combo1, QRect(box.x(), box.y(), clientWidth(window) - 6500, box.height()));
}

void scaleSplitter(Frmmain &window)
{
    if (window.LastClientHeight == 0)
        return;
    const double ratio = double(clientHeight(window)) / window.LastClientHeight;
    const int top = int(std::lround(twipsGeometry(window.imgSizeH).y() * ratio));
    placeTwips(window.imgSizeH, QRect(0, top, clientWidth(window), 60));
}

} // namespace

void enforceMinimumSize(Frmmain &window)
{
    const QSize frame = window.frameGeometry().size() - window.size();
    const QSize minimum(toPixels(kMinimumOuterWidth) - frame.width(),
                        toPixels(kMinimumOuterHeight) - frame.height());
    if (window.minimumSize() != minimum)
        window.setMinimumSize(minimum);
    if (window.width() < minimum.width() || window.height() < minimum.height())
        window.resize(window.size().expandedTo(minimum));
}

void runLayoutPass(Frmmain &window)
{
    enforceMinimumSize(window);

    placeButtons(window);
    widenAddressBox(window);
    placeTwips(window.Frame1, QRect(clientWidth(window) - 3200, 320, 3150, kOptionsPanelHeight));
    placeTwips(window.Lab_bt, QRect(0, clientHeight(window) - 300, clientWidth(window), 255));
    scaleSplitter(window);

    const int splitterTop = twipsGeometry(window.imgSizeH).y();
    placeTwips(*window.WebBrowser1, QRect(0, 320, clientWidth(window), splitterTop - 320));
    placeTwips(window.Text1, QRect(0, splitterTop + 60, clientWidth(window),
                                   clientHeight(window) - splitterTop - 60 - 360));

    window.LastClientHeight = clientHeight(window);
}

} // namespace pagewick::window
