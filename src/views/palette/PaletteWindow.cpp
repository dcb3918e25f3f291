#include "views/palette/PaletteWindow.h"

#include "settings/Settings.h"
#include "store/Manager.h"
#include "store/PalettesOO.h"
#include "views/palette/PalettePlace.h"
#include "views/palette/PaletteView.h"

#include <QCloseEvent>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>

PaletteWindow *PaletteWindow::open(PalettesOO *collection, int index) {
    if (!collection || !collection->contains(index))
        return nullptr;
    auto *window = new PaletteWindow(collection, index);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

PaletteWindow::PaletteWindow(PalettesOO *collection, int index, QWidget *parent)
    : QScrollArea(parent)
    , m_place(new PalettePlace(collection, index, this)) {
    setWindowFlags(Qt::Window | Qt::WindowStaysOnTopHint);
    setAttribute(Qt::WA_DeleteOnClose);
    setFrameShape(QFrame::NoFrame);
    setAlignment(Qt::AlignCenter);
    setWidgetResizable(false);

    // The frame is kept under the untranslated title, so a new language keeps the frames.
    m_autosaveName = QStringLiteral("Viewing: ") + m_place->palName();
    setWindowTitle(tr("Viewing: ") + m_place->palName());

    // Settings are read afresh for every window; later changes reach only windows opened later.
    QPointer<PalettePlace> place(m_place);
    m_view = new PaletteView(m_place->binding(), Settings::integer(SettingsKeys::viewGridColCount),
                             Settings::floatValue(SettingsKeys::viewGridCellSize),
                             Settings::floatValue(SettingsKeys::viewGridCellSpacing),
                             Settings::floatValue(SettingsKeys::viewGridCellRadius),
                             ModifyType::None, -1, QString(), ColorValue::fromSrgb(1, 1, 1, 1),
                             false, [place](const ColorEdit &edit) {
                                 // A palette that left the collection is not written back under an
                                 // empty name.
                                 const int index = place ? place->index() : -1;
                                 if (index < 0)
                                     return Manager::EditResult::Refused;
                                 return Manager::editColors(index, edit);
                             });
    setWidget(m_view);

    connect(m_place, &PalettePlace::changed, m_view, &PaletteView::refresh);
    connect(m_place, &PalettePlace::gone, this, &QWidget::close);
    connect(m_place, &PalettePlace::renamed, this, [this](const QString &name) {
        m_autosaveName = QStringLiteral("Viewing: ") + name;
        setWindowTitle(tr("Viewing: ") + name);
        saveFrame();
    });
    connect(m_view, &PaletteView::contentResized, this, &PaletteWindow::fitToContent);

    resize(480, 300);
    fitToContent();
    const QByteArray frame = Settings::windowFrame(m_autosaveName);
    m_frameRestored = !frame.isEmpty() && restoreGeometry(frame);
    if (!m_frameRestored) {
        if (QScreen *s = screen()) {
            QRect centred = frameGeometry();
            centred.moveCenter(s->availableGeometry().center());
            move(centred.topLeft());
        }
    }
}

void PaletteWindow::fitToContent() {
    if (!m_view)
        return;
    m_view->adjustSize();
    const QSize content = m_view->sizeHint().expandedTo(m_view->minimumSize());
    // Follow the content when it changes, but leave a frame the user chose (or that was
    // restored) alone while the content keeps its size.
    if (content == m_fittedContent)
        return;
    m_fittedContent = content;
    QSize room(4096, 4096);
    if (QScreen *s = screen()) {
        // Leave space for the window frame the window manager adds.
        const QMargins frame = frameGeometry().isValid() && isVisible()
                                   ? QMargins(geometry().left() - frameGeometry().left(),
                                              geometry().top() - frameGeometry().top(),
                                              frameGeometry().right() - geometry().right(),
                                              frameGeometry().bottom() - geometry().bottom())
                                   : QMargins(0, 32, 0, 0);
        room = s->availableGeometry().size().shrunkBy(frame);
    }
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    QSize target = content;
    // A scroll bar along one side takes room from the other direction.
    if (target.height() > room.height())
        target.rwidth() += bar;
    if (target.width() > room.width())
        target.rheight() += bar;
    target = target.boundedTo(room);
    if (target != size())
        resize(target);
}

void PaletteWindow::saveFrame() {
    if (isVisible())
        Settings::setWindowFrame(m_autosaveName, saveGeometry());
}

void PaletteWindow::moveEvent(QMoveEvent *event) {
    QScrollArea::moveEvent(event);
    saveFrame();
}

void PaletteWindow::resizeEvent(QResizeEvent *event) {
    QScrollArea::resizeEvent(event);
    saveFrame();
}

void PaletteWindow::closeEvent(QCloseEvent *event) {
    saveFrame();
    QScrollArea::closeEvent(event);
}
