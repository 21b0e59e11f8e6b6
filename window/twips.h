#pragma once

#include <QRect>
#include <QtGlobal>

// The window's geometry is worked out in twips, 15 to a pixel; this is the
// only place that converts between the two.
namespace pagewick::window {

inline constexpr int kTwipsPerPixel = 15;

inline int toPixels(int twips)
{
    return qRound(double(twips) / kTwipsPerPixel);
}

inline int toTwips(int pixels)
{
    return pixels * kTwipsPerPixel;
}

inline int toTwips(qreal pixels)
{
    return qRound(pixels * kTwipsPerPixel);
}

// Edges are rounded, not sizes, so that controls placed edge to edge in
// twips stay edge to edge in pixels.
inline QRect toPixels(const QRect &twips)
{
    const int left = toPixels(twips.x());
    const int top = toPixels(twips.y());
    return QRect(left, top, toPixels(twips.x() + twips.width()) - left,
                 toPixels(twips.y() + twips.height()) - top);
}

inline QRect toTwips(const QRect &pixels)
{
    return QRect(toTwips(pixels.x()), toTwips(pixels.y()), toTwips(pixels.width()),
                 toTwips(pixels.height()));
}

} // namespace pagewick::window
