#include "views/palette/PaletteModifyColorView.h"

#include "core/Log.h"
#include "interchange/ColorTextParser.h"
#include "model/ColorText.h"
#include "store/Manager.h"
#include "views/blocks/ShownColor.h"

#include <QColorDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
// QColor only for showing the colour; it keeps 16 bits per component.
QColor toQColor(const ColorValue &color) {
    const QList<double> &c = color.components();
    if (c.size() < 3)
        return QColor(Qt::white);
    return shownColor(c.at(0), c.at(1), c.at(2), c.size() > 3 ? c.at(3) : 1.0);
}

QIcon wellIcon(const QColor &color, const QSize &size) {
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    // A checkerboard under the colour makes its opacity visible.
    const int tile = qMax(3, size.height() / 4);
    for (int y = 0; y < size.height(); y += tile) {
        for (int x = 0; x < size.width(); x += tile)
            painter.fillRect(x, y, tile, tile,
                             ((x + y) / tile) % 2 ? QColor(204, 204, 204) : QColor(Qt::white));
    }
    painter.fillRect(pixmap.rect(), color);
    painter.setPen(QColor(0, 0, 0, 96));
    painter.drawRect(pixmap.rect().adjusted(0, 0, -1, -1));
    return QIcon(pixmap);
}
} // namespace

PaletteModifyColorView::Editor PaletteModifyColorView::bindingEditor(Binding<Palette> palette) {
    return [palette](const ColorEdit &edit) {
        Palette changed = palette.get();
        if (!edit.applyTo(changed))
            return Manager::EditResult::Refused;
        palette.set(changed);
        return Manager::savePalette(changed) ? Manager::EditResult::Saved
                                             : Manager::EditResult::WriteFailed;
    };
}

PaletteModifyColorView::PaletteModifyColorView(Binding<Palette> palette,
                                               Binding<ModifyType> modifyType,
                                               Binding<int> modifyColorIdx,
                                               Binding<QString> modifyColorName,
                                               Binding<ColorValue> modifyColorColor, Editor edit,
                                               QWidget *parent)
    : QWidget(parent)
    , palette(std::move(palette))
    , modifyType(std::move(modifyType))
    , modifyColorIdx(std::move(modifyColorIdx))
    , modifyColorName(std::move(modifyColorName))
    , modifyColorColor(std::move(modifyColorColor))
    , m_edit(edit ? std::move(edit) : bindingEditor(this->palette))
    , m_name(new QLineEdit)
    , m_well(new QToolButton)
    , m_text(new QLineEdit)
    , m_cancel(new QToolButton)
    , m_ok(new QToolButton) {
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window);

    m_name->setPlaceholderText(tr("Name"));
    m_name->setAccessibleName(tr("Name"));
    m_name->setMinimumWidth(20);
    connect(m_name, &QLineEdit::textEdited, this,
            [this](const QString &text) { this->modifyColorName.set(text); });

    auto *colorLabel = new QLabel(tr("Color"));
    m_well->setAccessibleName(tr("Color"));
    m_well->setToolTip(tr("Pick a color"));
    m_well->setMaximumHeight(25);
    m_well->setIconSize(QSize(32, 14));
    m_well->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    connect(m_well, &QToolButton::clicked, this, &PaletteModifyColorView::openColorDialog);
    m_text->setAccessibleName(tr("Color text"));
    m_text->setToolTip(tr("#RRGGBB, rgb(), hsl() or a color name"));
    // The editor is one grid cell wide: label, well and text share it.
    m_text->setMinimumWidth(30);
    m_well->setMinimumWidth(16);
    connect(m_text, &QLineEdit::textEdited, this, &PaletteModifyColorView::colorTextEdited);
    auto *colorRow = new QHBoxLayout;
    m_colorRow = colorRow;
    colorRow->setContentsMargins(0, 0, 0, 0);
    colorRow->setSpacing(2);
    colorRow->addWidget(colorLabel);
    colorRow->addWidget(m_well, 1);
    colorRow->addWidget(m_text, 2);

    m_cancel->setText(tr("Cancel"));
    m_ok->setText(tr("Ok"));
    connect(m_cancel, &QToolButton::clicked, this, &PaletteModifyColorView::cancelColorChange);
    connect(m_ok, &QToolButton::clicked, this, &PaletteModifyColorView::applyColorChange);
    auto *buttons = new QHBoxLayout;
    m_buttonRow = buttons;
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addWidget(m_cancel);
    buttons->addStretch(1);
    buttons->addWidget(m_ok);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(4);
    layout->addStretch(1);
    layout->addWidget(m_name);
    layout->addLayout(colorRow);
    layout->addLayout(buttons);
    refresh();
}

void PaletteModifyColorView::refresh() {
    const QString name = modifyColorName.get();
    if (m_name->text() != name)
        m_name->setText(name);
    const ColorValue color = modifyColorColor.get();
    // A text left invalid is dropped once the user is elsewhere and the editor shows a colour.
    if (!(color == m_textColor) || (!m_textValid && !m_text->hasFocus())) {
        m_untouchedColor = color;
        showColorText(color);
    }
    showWell();
    if (m_dialog) {
        const QColor shown = toQColor(modifyColorColor.get());
        if (m_dialog->currentColor() != shown) {
            // Showing the working colour is not a pick: nothing may flow back into it.
            const QSignalBlocker blocker(m_dialog);
            m_dialog->setCurrentColor(shown);
        }
    }
}

void PaletteModifyColorView::showWell() {
    const QColor color = toQColor(modifyColorColor.get());
    m_well->setIcon(wellIcon(color, m_well->iconSize()));
    m_well->setAccessibleDescription(color.name(QColor::HexArgb));
}

QString PaletteModifyColorView::colorText(const ColorValue &color) {
    const SerializableColor components = colorComponentsWithAlpha(color);
    return QLatin1Char('#') + (components.alpha.value_or(1.0) == 1.0
                                   ? hexText(components)
                                   : hexTextWithAlpha(components));
}

void PaletteModifyColorView::showColorText(const ColorValue &color) {
    m_textColor = color;
    m_text->setText(colorText(color));
    setColorTextValid(true);
}

void PaletteModifyColorView::setColorTextValid(bool valid) {
    m_textValid = valid;
    QPalette shown = m_name->palette();
    if (!valid)
        shown.setColor(QPalette::Base, QColor(255, 205, 205));
    m_text->setPalette(shown);
    m_text->setAccessibleDescription(valid ? QString() : tr("Not a color"));
    m_ok->setEnabled(valid);
}

void PaletteModifyColorView::colorTextEdited(const QString &text) {
    std::optional<ColorValue> parsed = ColorTextParser::parse(text);
    if (!parsed) {
        setColorTextValid(false);
        return;
    }
    // The text of the colour loaded into the editor stands for that colour, not for the 8-bit
    // colour it rounds to.
    if (text.trimmed().compare(colorText(m_untouchedColor), Qt::CaseInsensitive) == 0)
        parsed = m_untouchedColor;
    m_textColor = *parsed;
    setColorTextValid(true);
    modifyColorColor.set(*parsed);
    showWell();
    if (m_dialog) {
        const QSignalBlocker blocker(m_dialog);
        m_dialog->setCurrentColor(toQColor(*parsed));
    }
}

void PaletteModifyColorView::focusName() {
    m_name->setFocus(Qt::OtherFocusReason);
    m_name->selectAll();
}

void PaletteModifyColorView::setNarrow(bool narrow) {
    const auto direction = narrow ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight;
    if (m_buttonRow->direction() == direction)
        return;
    m_buttonRow->setDirection(direction);
    m_colorRow->setDirection(direction);
}

int PaletteModifyColorView::wideWidth() const {
    if (m_buttonRow->direction() == QBoxLayout::LeftToRight)
        return minimumSizeHint().width();
    // Measured as it would be side by side.
    const int buttons = m_cancel->sizeHint().width() + m_ok->sizeHint().width() + 4;
    const QMargins margins = layout()->contentsMargins();
    return qMax(buttons, m_name->minimumSizeHint().width()) + margins.left() + margins.right();
}

void PaletteModifyColorView::openColorDialog() {
    if (!m_dialog) {
        // The picker lives in a scrolling window of its own, so it fits any screen.
        auto *frame = new QScrollArea(this);
        frame->setWindowFlags(Qt::Dialog);
        frame->setAttribute(Qt::WA_DeleteOnClose);
        frame->setWindowTitle(tr("Color"));
        frame->setFrameShape(QFrame::NoFrame);
        m_dialog = new QColorDialog;
        m_dialog->setWindowFlags(Qt::Widget);
        m_dialog->setOptions(QColorDialog::ShowAlphaChannel | QColorDialog::NoButtons |
                             QColorDialog::DontUseNativeDialog);
        {
            const QSignalBlocker blocker(m_dialog);
            m_dialog->setCurrentColor(toQColor(modifyColorColor.get()));
        }
        connect(m_dialog, &QColorDialog::currentColorChanged, this,
                &PaletteModifyColorView::pickColor);
        frame->setWidget(m_dialog);
        frame->setWidgetResizable(true);
        m_dialog->show();
        m_dialogWindow = frame;
    }
    placeColorDialog();
    m_dialogWindow->show();
    m_dialogWindow->raise();
    m_dialogWindow->activateWindow();
}

void PaletteModifyColorView::placeColorDialog() {
    QScreen *screen = this->screen();
    if (!screen || !m_dialogWindow)
        return;
    const QRect room = screen->availableGeometry();
    // Room for the window manager's frame around the picker.
    const QMargins decoration(2, 32, 2, 2);
    const QSize want = m_dialog->sizeHint().grownBy(decoration);
    const auto sides = [&room](const QRect &avoid) {
        return QList<QRect>{QRect(QPoint(avoid.right() + 1, room.top()), room.bottomRight()),
                            QRect(room.topLeft(), QPoint(avoid.left() - 1, room.bottom())),
                            QRect(QPoint(room.left(), avoid.bottom() + 1), room.bottomRight()),
                            QRect(room.topLeft(), QPoint(room.right(), avoid.top() - 1))};
    };
    const QRect editor(mapToGlobal(QPoint(0, 0)), size());
    const QRect anchor = window()->frameGeometry();
    // Beside the palette window when there is room, so the grid stays in view; otherwise
    // wherever the most of it fits without covering the editor.
    QRect place;
    for (const QRect &side : sides(anchor)) {
        if (side.width() >= want.width() && side.height() >= want.height()) {
            place = side;
            break;
        }
    }
    if (place.isNull()) {
        qint64 best = -1;
        for (const QRect &side : sides(editor)) {
            const QSize fits = want.boundedTo(side.size());
            const qint64 area = qint64(qMax(0, fits.width())) * qMax(0, fits.height());
            if (area > best) {
                best = area;
                place = side;
            }
        }
    }
    const QSize outer = want.boundedTo(place.size()).expandedTo(QSize(120, 120));
    const int x = qBound(place.left(), editor.center().x() - outer.width() / 2,
                         qMax(place.left(), place.right() - outer.width() + 1));
    const int y =
        qBound(place.top(), editor.top(), qMax(place.top(), place.bottom() - outer.height() + 1));
    m_dialogWindow->resize(outer.shrunkBy(decoration));
    m_dialogWindow->move(x, y);
}

void PaletteModifyColorView::closeColorDialog() {
    if (m_dialogWindow)
        m_dialogWindow->close();
}

void PaletteModifyColorView::pickColor(const QColor &color) {
    // The dialog works in 8 bits a channel: store exact fractions of 255, computed in double.
    const QColor rgb = color.toRgb();
    const ColorValue picked = ColorValue::fromSrgb(rgb.red() / 255.0, rgb.green() / 255.0,
                                                   rgb.blue() / 255.0, rgb.alpha() / 255.0);
    modifyColorColor.set(picked);
    m_untouchedColor = picked;
    showColorText(picked);
    showWell();
}

void PaletteModifyColorView::cancelColorChange() {
    closeColorDialog();
    modifyType.set(ModifyType::None);
}

void PaletteModifyColorView::applyColorChange() {
    // Return in the text field with a text that is no colour: Ok is off, and so is this.
    if (!m_textValid)
        return;
    const QString name = modifyColorName.get();
    const ColorValue color = modifyColorColor.get();
    Manager::EditResult result = Manager::EditResult::Saved;
    switch (modifyType.get()) {
    case ModifyType::Edit: {
        logLine(QStringLiteral("Changed col: ") + printable(name) + QLatin1Char(' ') +
                color.description());
        const int i = modifyColorIdx.get();
        const Palette current = palette.get();
        if (!m_original && i >= 0 && i < current.palColors.size())
            m_original = current.palColors.at(i);
        if (!m_original)
            return;
        result =
            m_edit(ColorEdit::change(i, *m_original, PaletteColor{name, colorComponents(color)}));
        break;
    }
    case ModifyType::Add:
        logLine(QStringLiteral("Added col: ") + printable(name) + QLatin1Char(' ') +
                color.description());
        result = m_edit(ColorEdit::add(PaletteColor{name, colorComponentsWithAlpha(color)}));
        break;
    case ModifyType::None:
        logLine(QStringLiteral("ERROR: Invalid col modifyType!"));
        break;
    }
    // An edit that could not be applied stays open with what the user typed.
    if (result == Manager::EditResult::Refused)
        return;
    closeColorDialog();
    modifyType.set(ModifyType::None);
}

void PaletteModifyColorView::keyPressEvent(QKeyEvent *event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        applyColorChange();
        event->accept();
        return;
    case Qt::Key_Escape:
        cancelColorChange();
        event->accept();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}
