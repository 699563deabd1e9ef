// Helpers for widget tests.
#include "WidgetGrab.h"

#include <QApplication>
#include <QTest>

namespace quire::test {

QImage ShowAndGrab(QWidget& widget) {
    widget.show();
    if (!QTest::qWaitForWindowExposed(&widget)) QApplication::processEvents();
    QApplication::processEvents();
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

bool HasInk(const QImage& image, const QRect& rect, QRgb background) {
    const QRect r = rect.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            if ((image.pixel(x, y) & 0xFFFFFF) != (background & 0xFFFFFF)) return true;
        }
    }
    return false;
}

} // namespace quire::test
