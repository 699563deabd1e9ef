// Helpers for widget tests: show a widget on the offscreen platform and grab it.
#pragma once

#include <QImage>
#include <QWidget>

namespace quire::test {

// Shows the widget, lets pending events run, and returns its contents as an image.
QImage ShowAndGrab(QWidget& widget);

// True when some pixel of the image inside Rect differs from Background: something was drawn.
bool HasInk(const QImage& image, const QRect& rect, QRgb background);

} // namespace quire::test
