#include "window/twipsgeometry.h"

#include "browser/webbrowser.h"
#include "window/twips.h"

#include <QVariant>
#include <QWidget>

namespace pagewick::window {

namespace {

constexpr char kTwipsProperty[] = "pagewickTwipsGeometry";

bool acceptable(const QRect &twips)
{
    return twips.width() >= 0 && twips.height() >= 0;
}

} // namespace

bool placeTwips(QWidget *control, const QRect &twips)
{
    if (!control || !acceptable(twips))
        return false;
    control->setProperty(kTwipsProperty, twips);
    control->setGeometry(toPixels(twips));
    return true;
}

bool placeTwips(browser::WebBrowser &browser, const QRect &twips)
{
    if (!acceptable(twips))
        return false;
    const QRect pixels = toPixels(twips);
    if (QWidget *view = browser.widget())
        view->setProperty(kTwipsProperty, twips);
    browser.Move(pixels.x(), pixels.y(), pixels.width(), pixels.height());
    return true;
}

QRect twipsGeometry(const QWidget *control)
{
    if (!control)
        return {};
    const QVariant stored = control->property(kTwipsProperty);
    if (stored.isValid()) {
        const QRect twips = stored.toRect();
        if (toPixels(twips) == control->geometry())
            return twips;
    }
    return toTwips(control->geometry());
}

QRect twipsGeometry(const browser::WebBrowser &browser)
{
    return twipsGeometry(browser.widget());
}

} // namespace pagewick::window
