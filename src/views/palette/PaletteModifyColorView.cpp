#include "views/palette/PaletteModifyColorView.h"

#include "core/Log.h"
#include "model/ColorText.h"
#include "views/blocks/ShownColor.h"

#include <QColorDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScreen>
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
    , m_cancel(new QToolButton)
    , m_ok(new QToolButton) {
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window);

    m_name->setPlaceholderText(tr("Name"));
    m_name->setAccessibleName(tr("Name"));
    m_name->setMinimumWidth(40);
    connect(m_name, &QLineEdit::textEdited, this,
            [this](const QString &text) { this->modifyColorName.set(text); });

    auto *colorLabel = new QLabel(tr("Color"));
    m_well->setAccessibleName(tr("Color"));
    m_well->setToolTip(tr("Pick a color"));
    m_well->setMaximumHeight(25);
    m_well->setIconSize(QSize(32, 14));
    m_well->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    connect(m_well, &QToolButton::clicked, this, &PaletteModifyColorView::openColorDialog);
    auto *colorRow = new QHBoxLayout;
    colorRow->setContentsMargins(0, 0, 0, 0);
    colorRow->addWidget(colorLabel);
    colorRow->addWidget(m_well, 1);

    m_cancel->setText(tr("Cancel"));
    m_ok->setText(tr("Ok"));
    connect(m_cancel, &QToolButton::clicked, this, &PaletteModifyColorView::cancelColorChange);
    connect(m_ok, &QToolButton::clicked, this, &PaletteModifyColorView::applyColorChange);
    auto *buttons = new QHBoxLayout;
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

void PaletteModifyColorView::focusName() {
    m_name->setFocus(Qt::OtherFocusReason);
    m_name->selectAll();
}

void PaletteModifyColorView::openColorDialog() {
    if (!m_dialog) {
        m_dialog = new QColorDialog(this);
        m_dialog->setAttribute(Qt::WA_DeleteOnClose);
        m_dialog->setOptions(QColorDialog::ShowAlphaChannel | QColorDialog::NoButtons |
                             QColorDialog::DontUseNativeDialog);
        m_dialog->setWindowTitle(tr("Color"));
        {
            const QSignalBlocker blocker(m_dialog);
            m_dialog->setCurrentColor(toQColor(modifyColorColor.get()));
        }
        connect(m_dialog, &QColorDialog::currentColorChanged, this,
                &PaletteModifyColorView::pickColor);
    }
    m_dialog->show();
    // Beside the palette window rather than over it, so the grid stays in view while picking.
    if (QWidget *top = window(); top && m_dialog->screen()) {
        const QRect room = m_dialog->screen()->availableGeometry();
        const QRect frame = top->frameGeometry();
        const QSize size = m_dialog->frameGeometry().size();
        const int y =
            qBound(room.top(), frame.top(), qMax(room.top(), room.bottom() - size.height()));
        if (frame.right() + size.width() < room.right())
            m_dialog->move(frame.right() + 1, y);
        else if (frame.left() - size.width() > room.left())
            m_dialog->move(frame.left() - size.width(), y);
    }
    m_dialog->raise();
    m_dialog->activateWindow();
}

void PaletteModifyColorView::pickColor(const QColor &color) {
    const QColor rgb = color.toRgb();
    modifyColorColor.set(ColorValue::fromSrgb(rgb.redF(), rgb.greenF(), rgb.blueF(), rgb.alphaF()));
    showWell();
}

void PaletteModifyColorView::cancelColorChange() {
    if (m_dialog)
        m_dialog->close();
    modifyType.set(ModifyType::None);
}

void PaletteModifyColorView::applyColorChange() {
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
    if (m_dialog)
        m_dialog->close();
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
