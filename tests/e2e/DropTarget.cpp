// A window that takes one drop and prints what it carried: the text and the colour. Stands in
// for a paint program in the drag-out end-to-end test.
#include <QApplication>
#include <QColor>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QWidget>
#include <cstdio>

class DropTarget : public QWidget {
public:
    DropTarget() {
        setAcceptDrops(true);
        setWindowTitle(QStringLiteral("Drop target"));
        setAutoFillBackground(true);
        QPalette colours = palette();
        colours.setColor(QPalette::Window, QColor(0x20, 0x40, 0x20));
        setPalette(colours);
    }

protected:
    void dragEnterEvent(QDragEnterEvent *event) override { event->acceptProposedAction(); }
    void dropEvent(QDropEvent *event) override {
        const QMimeData *data = event->mimeData();
        std::printf("formats: %s\n", qPrintable(data->formats().join(QLatin1Char(' '))));
        std::printf("text: %s\n", qPrintable(data->text()));
        if (data->hasColor())
            std::printf("color: %s\n",
                        qPrintable(qvariant_cast<QColor>(data->colorData()).name(QColor::HexArgb)));
        std::fflush(stdout);
        event->acceptProposedAction();
        // Not from inside the drop: the drag machinery still runs.
        QMetaObject::invokeMethod(qApp, &QApplication::quit, Qt::QueuedConnection);
    }
};

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    DropTarget target;
    target.setGeometry(800, 300, 300, 300);
    target.show();
    return QApplication::exec();
}
