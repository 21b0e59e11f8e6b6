#pragma once

#include <QRect>

class QWidget;

namespace pagewick::browser {
class WebBrowser;
}

// Controls remember the twips geometry they were last given: a twips value
// rarely falls on a whole pixel, and the layout goes on computing from the
// exact values (the splitter's proportional position above all).
namespace pagewick::window {

// Places the control; a negative width or height is refused and leaves the
// control where it was (false).
bool placeTwips(QWidget *control, const QRect &twips);

// The browser view is placed through the browser's own Move.
bool placeTwips(browser::WebBrowser &browser, const QRect &twips);

// The twips geometry last given, as long as the control still stands where it
// put it; otherwise its pixel geometry converted.
QRect twipsGeometry(const QWidget *control);
QRect twipsGeometry(const browser::WebBrowser &browser);

} // namespace pagewick::window
