#include "StdoutCapture.h"
#include "TestSupport.h"

#include "platform/PickerOverlay.h"
#include "platform/PortalColorPicker.h"
#include "platform/ScreenPicker.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <bit>

namespace {

// Every device pixel a colour of its own, so a pick one pixel off shows.
QImage numbered(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 3 % 256, y * 5 % 256, (x + y) % 256));
    return image;
}

ColorValue exact(QRgb rgb) {
    return ColorValue::fromSrgb(qRed(rgb) / 255.0, qGreen(rgb) / 255.0, qBlue(rgb) / 255.0, 1.0);
}

bool sameBits(const ColorValue &a, const ColorValue &b) {
    if (a.components().size() != b.components().size())
        return false;
    for (qsizetype i = 0; i < a.components().size(); ++i)
        if (std::bit_cast<quint64>(a.components()[i]) != std::bit_cast<quint64>(b.components()[i]))
            return false;
    return true;
}

void moveTo(QWidget *overlay, QPointF local) {
    QMouseEvent move(QEvent::MouseMove, local, overlay->mapToGlobal(local), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(overlay, &move);
}

void press(QWidget *overlay, QPointF local, Qt::MouseButton button) {
    QMouseEvent event(QEvent::MouseButtonPress, local, overlay->mapToGlobal(local), button, button,
                      Qt::NoModifier);
    QApplication::sendEvent(overlay, &event);
}

} // namespace

class PickerTest : public QObject {
    Q_OBJECT

private slots:
    void picksTheDevicePixelUnderThePointerAtScale2() {
        // A screen of 200 x 150 logical pixels at scale 2: the image has four pixels for each
        // logical one, and the pointer's position has halves.
        const QImage image = numbered(400, 300);
        ScreenPicker picker;
        QSignalSpy picked(&picker, &ScreenPicker::picked);
        picker.startWithSnapshots({ScreenSnapshot{QRect(0, 0, 200, 150), image, 2.0}});
        QCOMPARE(picker.overlays().size(), 1);
        PickerOverlay *overlay = picker.overlays().first();

        moveTo(overlay, QPointF(10.5, 20.5));
        QCOMPARE(overlay->target(), QPoint(21, 41));
        moveTo(overlay, QPointF(10.25, 20.0));
        QCOMPARE(overlay->target(), QPoint(20, 40));
        press(overlay, QPointF(99.5, 0.5), Qt::LeftButton);
        QCOMPARE(picked.size(), 1);
        QVERIFY(sameBits(picked.at(0).at(0).value<ColorValue>(), exact(image.pixel(199, 1))));
        QVERIFY(!picker.isActive());
        QTRY_VERIFY(picker.overlays().isEmpty());
    }

    void arrowsMoveOnePixelAndReturnPicks() {
        const QImage image = numbered(300, 200);
        ScreenPicker picker;
        QSignalSpy picked(&picker, &ScreenPicker::picked);
        picker.startWithSnapshots({ScreenSnapshot{QRect(0, 0, 300, 200), image, 1.0}});
        PickerOverlay *overlay = picker.overlays().first();
        moveTo(overlay, QPointF(1, 1));
        QTest::keyClick(overlay, Qt::Key_Left);
        QTest::keyClick(overlay, Qt::Key_Left); // stops at the screen's edge
        QTest::keyClick(overlay, Qt::Key_Down);
        QTest::keyClick(overlay, Qt::Key_Down);
        QTest::keyClick(overlay, Qt::Key_Right);
        QCOMPARE(overlay->target(), QPoint(1, 3));
        QTest::keyClick(overlay, Qt::Key_Up);
        QTest::keyClick(overlay, Qt::Key_Return);
        QCOMPARE(picked.size(), 1);
        QVERIFY(sameBits(picked.at(0).at(0).value<ColorValue>(), exact(image.pixel(1, 2))));
    }

    void escapeAndRightClickCancel() {
        ScreenPicker picker;
        QSignalSpy picked(&picker, &ScreenPicker::picked);
        QSignalSpy cancelled(&picker, &ScreenPicker::cancelled);
        picker.startWithSnapshots({ScreenSnapshot{QRect(0, 0, 100, 100), numbered(100, 100), 1}});
        QTest::keyClick(picker.overlays().first(), Qt::Key_Escape);
        QCOMPARE(cancelled.size(), 1);
        QVERIFY(!picker.isActive());

        picker.startWithSnapshots({ScreenSnapshot{QRect(0, 0, 100, 100), numbered(100, 100), 1}});
        QCOMPARE(picker.overlays().size(), 1);
        press(picker.overlays().first(), QPointF(5, 5), Qt::RightButton);
        QCOMPARE(cancelled.size(), 2);
        QCOMPARE(picked.size(), 0);
        // A second start while one runs is ignored rather than stacking overlays.
        picker.startWithSnapshots({ScreenSnapshot{QRect(0, 0, 10, 10), numbered(10, 10), 1}});
        picker.startWithSnapshots({ScreenSnapshot{QRect(0, 0, 10, 10), numbered(10, 10), 1}});
        QCOMPARE(picker.overlays().size(), 1);
        picker.cancel();
        QCOMPARE(cancelled.size(), 3);
    }

    void severalScreensEachPickTheirOwnPixels() {
        // Side by side: a scale-1 screen and a scale-2 screen to its right.
        const QImage left = numbered(120, 100);
        QImage right(200, 160, QImage::Format_RGB32);
        right.fill(qRgb(10, 200, 30));
        right.setPixel(3, 5, qRgb(1, 2, 3));
        ScreenPicker picker;
        QSignalSpy picked(&picker, &ScreenPicker::picked);
        picker.startWithSnapshots({ScreenSnapshot{QRect(0, 0, 120, 100), left, 1.0},
                                   ScreenSnapshot{QRect(120, 0, 100, 80), right, 2.0}});
        QCOMPARE(picker.overlays().size(), 2);
        PickerOverlay *first = picker.overlays().at(0);
        PickerOverlay *second = picker.overlays().at(1);
        QCOMPARE(second->geometry(), QRect(120, 0, 100, 80));
        moveTo(first, QPointF(50, 50));
        QCOMPARE(first->target(), QPoint(50, 50));
        // Onto the second screen: the first one's loupe goes away.
        moveTo(second, QPointF(1.5, 2.5));
        QCOMPARE(first->target(), QPoint(-1, -1));
        QCOMPARE(second->target(), QPoint(3, 5));
        QTest::keyClick(first, Qt::Key_Return); // whichever overlay has the keys
        QCOMPARE(picked.size(), 1);
        QVERIFY(sameBits(picked.at(0).at(0).value<ColorValue>(), exact(qRgb(1, 2, 3))));
    }

    void loupeMagnifiesAroundThePointerAndStaysOnScreen() {
        QImage image(400, 300, QImage::Format_RGB32);
        image.fill(qRgb(255, 255, 255));
        image.setPixel(200, 150, qRgb(255, 0, 0));
        ScreenPicker picker;
        picker.startWithSnapshots({ScreenSnapshot{QRect(0, 0, 400, 300), image, 1.0}});
        PickerOverlay *overlay = picker.overlays().first();
        moveTo(overlay, QPointF(200, 150));
        const QRect loupe = overlay->loupeRect();
        QVERIFY2(QRect(0, 0, 400, 300).contains(loupe),
                 qPrintable(QStringLiteral("%1,%2 %3x%4 in %5x%6")
                                .arg(loupe.x())
                                .arg(loupe.y())
                                .arg(loupe.width())
                                .arg(loupe.height())
                                .arg(overlay->width())
                                .arg(overlay->height())));
        QVERIFY(!loupe.contains(QPoint(200, 150))); // never under the pointer
        const QImage shot = overlay->grab().toImage();
        const int half = PickerOverlay::loupeCells / 2;
        const int cell = PickerOverlay::loupeCellSize;
        const QPoint centre =
            loupe.topLeft() + QPoint(half * cell + cell / 2, half * cell + cell / 2);
        QCOMPARE(QColor(shot.pixel(centre)), QColor(255, 0, 0));
        QCOMPARE(QColor(shot.pixel(centre + QPoint(cell, 0))), QColor(255, 255, 255));
        // Near the bottom right corner the loupe moves to the other side of the pointer.
        moveTo(overlay, QPointF(395, 295));
        QVERIFY(QRect(0, 0, 400, 300).contains(overlay->loupeRect()));
        picker.cancel();
    }

    void portalColoursBecomeExactFractions() {
        // 102/255 sent through a float arrives as 0.4000000059604645.
        const ColorValue fromFloat =
            PortalColorPicker::colorFromPortal(double(float(102 / 255.0)), 1.0, 0.0);
        QVERIFY(sameBits(fromFloat, ColorValue::fromSrgb(0.4, 1.0, 0.0, 1.0)));
        // A value that is no 8-bit step is kept as sent.
        const ColorValue between = PortalColorPicker::colorFromPortal(0.5, 0.123456789, 0.25);
        QVERIFY(sameBits(between, ColorValue::fromSrgb(0.5, 0.123456789, 0.25, 1.0)));
    }

    void portalWithoutBusFailsAtOnce() {
        // The test has no session bus: the pick must end with a reason, not wait.
        qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
        PortalColorPicker portal;
        QSignalSpy failed(&portal, &PortalColorPicker::failed);
        portal.start();
        QVERIFY(portal.isActive());
        QTRY_COMPARE_WITH_TIMEOUT(failed.size(), 1, 5000);
        QVERIFY(!portal.isActive());
        QVERIFY(!failed.at(0).at(0).toString().isEmpty());
    }
};

SWATCHBAR_TEST_GUI_MAIN(PickerTest)
#include "PickerTest.moc"
