// Window layout is given in twips (1/1440 inch). At 96 logical dpi that is
// 15 twips per logical pixel; Qt's high-dpi scaling takes it from there.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QtGlobal>

namespace soranika {

inline constexpr int kTwipsPerPixel = 15;

constexpr int Twips(int twips) {
    // Round half away from zero, as every value is a whole number of twips.
    return twips >= 0 ? (twips + kTwipsPerPixel / 2) / kTwipsPerPixel
                      : -((-twips + kTwipsPerPixel / 2) / kTwipsPerPixel);
}

inline QRect TwipsRect(int left, int top, int width, int height) {
    return QRect(Twips(left), Twips(top), Twips(width), Twips(height));
}

inline QSize TwipsSize(int width, int height) {
    return QSize(Twips(width), Twips(height));
}

inline QPoint TwipsPoint(int x, int y) {
    return QPoint(Twips(x), Twips(y));
}

} // namespace soranika
