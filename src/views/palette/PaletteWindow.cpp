#include "views/palette/PaletteWindow.h"

#include "settings/Settings.h"
#include "store/Manager.h"
#include "store/PalettesOO.h"
#include "store/UndoStack.h"
#include "views/blocks/UndoActions.h"
#include "views/palette/PalettePlace.h"
#include "views/palette/PaletteView.h"

#include "platform/BackingStorePages.h"
#include "platform/WindowFocus.h"
#include "views/palette/PaletteModifyColorView.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QBackingStore>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>

namespace {
int indexByName(const QString &name) {
    const PalettesOO *collection = PalettesOO::shared();
    return collection ? collection->indexOf(name) : -1;
}

// An edit made again or taken back later, on the palette of that name wherever it is then.
bool applyByName(const QString &name, const ColorEdit &edit) {
    const int index = indexByName(name);
    return index >= 0 && Manager::editColors(index, edit) != Manager::EditResult::Refused;
}

QString undoText(const ColorEdit &edit) {
    switch (edit.kind) {
    case ColorEdit::Kind::Change:
        return PaletteWindow::tr("Edit color");
    case ColorEdit::Kind::Add:
    case ColorEdit::Kind::Insert:
        return PaletteWindow::tr("Add color");
    case ColorEdit::Kind::Delete:
        break;
    }
    return PaletteWindow::tr("Delete color");
}

// Makes a colour edit through the store and records it for undo.
Manager::EditResult edited(const QPointer<PalettePlace> &place, const ColorEdit &edit) {
    // A palette that left the collection is not written back under an empty name.
    const int index = place ? place->index() : -1;
    if (index < 0)
        return Manager::EditResult::Refused;
    const QString name = place->palName();
    const Manager::EditResult result = Manager::editColors(index, edit);
    if (result == Manager::EditResult::Refused)
        return result;
    const int after = indexByName(name);
    const int size =
        after >= 0 ? int(PalettesOO::shared()->palettes().at(after).palColors.size()) : 0;
    const ColorEdit back = edit.inverse(size);
    UndoStack::forPalette(name)->push({undoText(edit),
                                       [name, back] { return applyByName(name, back); },
                                       [name, edit] {
                                           return applyByName(name, edit);
                                       }});
    return result;
}

QString userSizedKey(const QString &autosaveName) {
    return Settings::windowFrameKey(autosaveName) + QStringLiteral("-userSized");
}
} // namespace

PaletteWindow *PaletteWindow::open(PalettesOO *collection, int index) {
    if (!collection || !collection->contains(index))
        return nullptr;
    auto *window = new PaletteWindow(collection, index);
    // Opened on purpose: typing goes to its filter until the user moves on.
    window->m_opening = true;
    window->show();
    window->raise();
    window->takeKeyboard();
    window->m_opening = false;
    if (window->view())
        window->view()->filterField()->setFocus(Qt::ActiveWindowFocusReason);
    return window;
}

PaletteWindow::PaletteWindow(PalettesOO *collection, int index, QWidget *parent)
    : QScrollArea(parent)
    , m_place(new PalettePlace(collection, index, this)) {
    setWindowFlags(Qt::Window | Qt::WindowStaysOnTopHint);
    setAttribute(Qt::WA_DeleteOnClose);
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::NoFocus);
    // Extra height goes below the content, not above it.
    setAlignment(Qt::AlignHCenter | Qt::AlignTop);
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
                             false, [place](const ColorEdit &edit) { return edited(place, edit); });
    setWidget(m_view);

    connect(m_place, &PalettePlace::changed, m_view, &PaletteView::refresh);
    UndoActions::installShortcuts(
        this, [place] { return place ? UndoStack::forPalette(place->palName()) : nullptr; });
    connect(m_place, &PalettePlace::gone, this, &QWidget::close);
    connect(m_place, &PalettePlace::renamed, this, [this](const QString &name) {
        m_autosaveName = QStringLiteral("Viewing: ") + name;
        setWindowTitle(tr("Viewing: ") + name);
        saveFrame();
    });
    connect(m_view, &PaletteView::contentResized, this, &PaletteWindow::fitToContent);
    qApp->installEventFilter(this);

    resize(480, 300);
    fitToContent();
    const QByteArray frame = Settings::windowFrame(m_autosaveName);
    m_frameRestored = !frame.isEmpty() && restoreGeometry(frame);
    m_userSized = m_frameRestored && Settings::boolean(userSizedKey(m_autosaveName));
    if (m_frameRestored && !m_userSized) {
        // A size that was only fitted to older content gives way to the current content.
        m_fittedContent = QSize();
        fitToContent();
    }
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
    // Nested layouts pass a change upwards one posted event at a time, so the size read here
    // would be the previous one: settle every layout of the content now.
    for (QWidget *child : m_view->findChildren<QWidget *>()) {
        if (QLayout *layout = child->layout()) {
            layout->invalidate();
            // Also drops the size its parent's layout keeps for it.
            child->updateGeometry();
        }
    }
    if (QLayout *layout = m_view->layout()) {
        layout->invalidate();
        layout->activate();
    }
    m_view->adjustSize();
    const QSize content = m_view->sizeHint().expandedTo(m_view->minimumSize());
    // Follow the content when it changes, but leave a frame the user chose alone while the
    // content keeps its size.
    if (content == m_fittedContent)
        return;
    const QSize before = std::exchange(m_fittedContent, content);
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
    // A window that scrolls its content and still will keeps that extent: growing a few pixels
    // into room found since (the frame's real size) would only repaint it all.
    if (isVisible()) {
        if (content.height() > room.height() && before.height() > height() &&
            height() <= room.height())
            target.setHeight(height());
        if (content.width() > room.width() && before.width() > width() && width() <= room.width())
            target.setWidth(width());
    }
    m_fittedSize = target;
    if (target != size()) {
        m_fitting = true;
        resize(target);
        m_fitting = false;
    }
    keepOnScreen(target);
}

void PaletteWindow::keepOnScreen(const QSize &size) {
    QScreen *s = screen();
    if (!s || !isVisible())
        return;
    const QRect available = s->availableGeometry();
    const QRect frame = frameGeometry();
    const QMargins margins(geometry().left() - frame.left(), geometry().top() - frame.top(),
                           frame.right() - geometry().right(),
                           frame.bottom() - geometry().bottom());
    QRect outer(frame.topLeft(), size.grownBy(margins));
    // Grown past the screen's edge: slide back so the whole window, options included, shows.
    outer.moveLeft(
        qMax(available.left(), qMin(outer.left(), available.right() - outer.width() + 1)));
    outer.moveTop(
        qMax(available.top(), qMin(outer.top(), available.bottom() - outer.height() + 1)));
    if (outer.topLeft() != frame.topLeft())
        move(outer.topLeft());
}

void PaletteWindow::takeKeyboard() {
    // Each change of the hints waits on the display server several times: only when needed.
    if (!WindowFocus::acceptsFocus(this))
        WindowFocus::setAcceptsFocus(this, true);
    activateWindow();
}

namespace {
// Widgets that need keys when used: text and number fields, and the whole colour editor.
bool wantsKeyboard(const QWidget *widget, const QWidget *window) {
    for (const QWidget *w = widget; w && w != window; w = w->parentWidget()) {
        if (qobject_cast<const QLineEdit *>(w) || qobject_cast<const QAbstractSpinBox *>(w) ||
            qobject_cast<const PaletteModifyColorView *>(w))
            return true;
    }
    return false;
}
} // namespace

bool PaletteWindow::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::MouseButtonPress && watched->isWidgetType()) {
        auto *widget = static_cast<QWidget *>(watched);
        if (widget->window() == this && !isActiveWindow() && wantsKeyboard(widget, this))
            takeKeyboard();
    }
    // Typing in the window goes into its filter, unless a field that needs keys has them.
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() && m_view) {
        auto *widget = static_cast<QWidget *>(watched);
        const auto *key = static_cast<QKeyEvent *>(event);
        const QString text = key->text();
        QLineEdit *filter = m_view->filterField();
        if (widget->window() == this && widget != filter && !wantsKeyboard(widget, this) &&
            !text.isEmpty() && text.at(0).isPrint() && !text.at(0).isSpace() &&
            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
            filter->setFocus(Qt::OtherFocusReason);
            filter->insert(text);
            return true;
        }
    }
    return QScrollArea::eventFilter(watched, event);
}

bool PaletteWindow::event(QEvent *event) {
    // Once the user is elsewhere, a click on a swatch copies without taking the keyboard.
    if (event->type() == QEvent::WindowDeactivate && WindowFocus::acceptsFocus(this))
        WindowFocus::setAcceptsFocus(this, false);
    return QScrollArea::event(event);
}

void PaletteWindow::showEvent(QShowEvent *event) {
    QScrollArea::showEvent(event);
    // A window open() shows takes the keyboard next: no need to decline it first.
    if (!isActiveWindow() && !m_opening && WindowFocus::acceptsFocus(this))
        WindowFocus::setAcceptsFocus(this, false);
    keepOnScreen(size());
    // The store is made at the window's size now, its pages mapped while the window system
    // maps the window, rather than inside the first paint; room is made once it grows.
    m_reserved = size();
    BackingStorePages::prepare(backingStore(), m_reserved);
}

// Qt's X11 backing store keeps its shared image while the window shrinks (to no less than half)
// and makes a new one at each step the window grows. A new image costs its first paint even
// with its pages mapped ahead (a first write to each page is slow on a virtual machine):
// several milliseconds a step for a window as high as the screen. So the store is made a third
// larger than the window whenever the window outgrows it, and a drag that enlarges the window
// makes a new image every third of its growth, not every step. Not at the window's opening:
// a larger first image costs the opening more than it saves.
void PaletteWindow::reserveBackingStore() {
    QBackingStore *store = backingStore();
    if (!store || !isVisible())
        return;
    const QSize now = size();
    // Resized as it opens, before its first paint: the store is made at this size anyway.
    if (!m_reserved.isValid()) {
        m_reserved = now;
        return;
    }
    const qint64 area = qint64(now.width()) * now.height();
    const qint64 reservedArea = qint64(m_reserved.width()) * m_reserved.height();
    // Shrunk below half of it: the store let the large image go.
    if (area * 2 < reservedArea)
        m_reserved = now;
    if (now.width() <= m_reserved.width() && now.height() <= m_reserved.height())
        return;
    m_reserved = now * 4 / 3;
    BackingStorePages::prepare(store, m_reserved);
}

void PaletteWindow::saveFrame() {
    if (!isVisible())
        return;
    Settings::setWindowFrame(m_autosaveName, saveGeometry());
    Settings::setBoolean(userSizedKey(m_autosaveName), m_userSized);
}

void PaletteWindow::moveEvent(QMoveEvent *event) {
    QScrollArea::moveEvent(event);
    saveFrame();
}

void PaletteWindow::resizeEvent(QResizeEvent *event) {
    QScrollArea::resizeEvent(event);
    // A size other than the one fitted here came from the user (or the window manager).
    if (!m_fitting && isVisible() && size() != m_fittedSize)
        m_userSized = true;
    reserveBackingStore();
    saveFrame();
}

void PaletteWindow::closeEvent(QCloseEvent *event) {
    saveFrame();
    QScrollArea::closeEvent(event);
}
