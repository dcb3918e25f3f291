#include "views/palette/PaletteOptionsView.h"

#include "settings/Settings.h"
#include "views/blocks/OptionRow.h"
#include "views/blocks/SectionView.h"

#include <QDoubleValidator>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>
#include <cmath>

namespace {
QString numberText(double value) {
    // Values come back from 32-bit storage: 12.3 is shown as 12.3, not 12.300000190734863.
    return QLocale::c().toString(value, 'g', std::isfinite(value) ? 7 : 6);
}
} // namespace

PaletteOptionsView::PaletteOptionsView(double optionsMargin, double optionsMinWidth,
                                       int maxViewCols, Binding<bool> showOptions,
                                       Binding<int> colCount, Binding<double> cellSize,
                                       Binding<double> cellSpacing, Binding<double> cellRadius,
                                       QWidget *parent)
    : QWidget(parent)
    , optionsMargin(optionsMargin)
    , optionsMinWidth(optionsMinWidth)
    , maxViewCols(qMax(1, maxViewCols))
    , showOptions(std::move(showOptions))
    , colCount(std::move(colCount))
    , cellSize(std::move(cellSize))
    , cellSpacing(std::move(cellSpacing))
    , cellRadius(std::move(cellRadius)) {
    m_size = numberField(tr("Size"), this->cellSize);
    m_spacing = numberField(tr("Spacing"), this->cellSpacing);
    m_radius = numberField(tr("Radius"), this->cellRadius);
    // A short number: 25 points is room enough.
    m_radius->setMaximumWidth(25);

    m_columns = new QSpinBox;
    m_columns->setRange(1, this->maxViewCols);
    m_columns->setSingleStep(1);
    m_columns->setAccessibleName(tr("Column count"));
    m_columns->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    connect(m_columns, &QSpinBox::valueChanged, this, [this](int value) {
        // Only the stepper's own changes are stored; refresh() blocks its signals.
        this->colCount.set(value);
        Settings::setInteger(QString::fromLatin1(SettingsKeys::viewGridColCount), value);
    });

    m_slider = new QSlider(Qt::Horizontal);
    m_slider->setRange(0, 50);
    m_slider->setAccessibleName(tr("Radius"));
    connect(m_slider, &QSlider::valueChanged, this,
            [this](int value) { this->cellRadius.set(value); });

    auto *rows = new QWidget;
    auto *grid = new QVBoxLayout(rows);
    grid->setContentsMargins(0, 0, 0, 0);
    const int margin = qRound(this->optionsMargin);
    grid->addWidget(new OptionRow(tr("Size"), margin, m_size));
    grid->addWidget(new OptionRow(tr("Spacing"), margin, m_spacing));
    grid->addWidget(new OptionRow(tr("Column count"), margin, m_columns));
    grid->addWidget(new OptionRow(tr("Radius"), margin, m_radius, m_slider));
    m_rows = rows;
    setPanelWidth(0);

    m_section = new SectionView(tr("View options"), rows);
    m_section->setMinimumWidth(qRound(this->optionsMinWidth));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addSpacing(25);
    layout->addWidget(m_section);
    refresh();
}

QList<QWidget *> PaletteOptionsView::tabOrder() const {
    return {m_size, m_spacing, m_columns, m_radius, m_slider};
}

void PaletteOptionsView::setPanelWidth(int width) {
    m_rows->setFixedWidth(qMax(qRound(optionsMinWidth), width));
}

QLineEdit *PaletteOptionsView::numberField(const QString &placeholder, Binding<double> value) {
    auto *field = new QLineEdit;
    field->setPlaceholderText(placeholder);
    field->setAccessibleName(placeholder);
    auto *validator = new QDoubleValidator(field);
    validator->setLocale(QLocale::c());
    validator->setNotation(QDoubleValidator::ScientificNotation);
    field->setValidator(validator);
    connect(field, &QLineEdit::editingFinished, this, [field, value] {
        bool ok = false;
        const double number = QLocale::c().toDouble(field->text(), &ok);
        if (ok && std::isfinite(number) && number != value.get())
            value.set(number);
    });
    return field;
}

void PaletteOptionsView::refresh() {
    const bool shown = showOptions.get();
    setVisible(shown);
    if (!shown)
        return;
    const auto show = [](QLineEdit *field, double value) {
        bool ok = false;
        const double typed = QLocale::c().toDouble(field->text(), &ok);
        // Leave a field alone while its text already means this value (e.g. "60.0").
        if (!ok || typed != value)
            field->setText(numberText(value));
    };
    show(m_size, cellSize.get());
    show(m_spacing, cellSpacing.get());
    show(m_radius, cellRadius.get());
    {
        const QSignalBlocker blockColumns(m_columns);
        m_columns->setValue(colCount.get());
        const QSignalBlocker blockSlider(m_slider);
        const double radius = cellRadius.get();
        m_slider->setValue(
            std::isfinite(radius) ? static_cast<int>(std::lround(qBound(0.0, radius, 50.0))) : 0);
    }
    writeSettings();
}

void PaletteOptionsView::writeSettings() {
    Settings::setFloat(QString::fromLatin1(SettingsKeys::viewGridCellSize), cellSize.get());
    Settings::setFloat(QString::fromLatin1(SettingsKeys::viewGridCellSpacing), cellSpacing.get());
    Settings::setFloat(QString::fromLatin1(SettingsKeys::viewGridCellRadius), cellRadius.get());
}
