#include "views/palette/PaletteView.h"

#include "core/Log.h"
#include "model/ColorText.h"
#include "model/PaletteFilter.h"
#include "platform/ScreenPicker.h"
#include "settings/CopyFormats.h"
#include "settings/Settings.h"
#include "views/blocks/SectionView2C.h"
#include "views/palette/CopyFormatsNotifier.h"
#include "views/palette/FormatEditor.h"
#include "views/palette/PaletteColorGridView.h"
#include "views/palette/PaletteOptionsView.h"
#include "views/palette/PaletteWindow.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

void openPaletteWindow(PalettesOO *collection, int index) {
    PaletteWindow::open(collection, index);
}

PaletteView::PaletteView(Binding<Palette> palette, int colCount, double cellSize,
                         double cellSpacing, double cellRadius, ModifyType modifyType,
                         int modifyColorIdx, QString modifyColorName, ColorValue modifyColorColor,
                         bool showOptions, Editor edit, QWidget *parent)
    : QWidget(parent)
    , palette(std::move(palette))
    , colCount(colCount)
    , cellSize(cellSize)
    , cellSpacing(cellSpacing)
    , cellRadius(cellRadius)
    , modifyType(modifyType)
    , modifyColorIdx(modifyColorIdx)
    , modifyColorName(std::move(modifyColorName))
    , modifyColorColor(std::move(modifyColorColor))
    , showOptions(showOptions)
    , formats(CopyFormats::all()) {
    const auto changed = [this] {
        stateChanged();
    };

    // Title row: the copy-format picker, then the options toggle.
    auto *picker = new QWidget;
    auto *pickerRow = new QHBoxLayout(picker);
    pickerRow->setContentsMargins(0, 0, 0, 0);
    auto *pickerLabel = new QLabel(tr("Copy format"));
    pickerLabel->setMinimumWidth(100);
    pickerLabel->setAlignment(Qt::AlignLeading | Qt::AlignVCenter);
    m_picker = new QComboBox;
    m_picker->setAccessibleName(tr("Copy format"));
    pickerLabel->setBuddy(m_picker);
    fillPicker();
    pickerRow->addWidget(pickerLabel);
    pickerRow->addWidget(m_picker, 1);
    picker->setMinimumWidth(250);
    connect(m_picker, &QComboBox::activated, this, [this](int i) {
        if (i < formats.size()) {
            storeFormatIdx(i);
            return;
        }
        // "Edit formats…" is no format: the picker goes back to the one in use.
        const QSignalBlocker blocker(m_picker);
        m_picker->setCurrentIndex(selectedFormatIdx);
        openFormatEditor();
    });
    connect(CopyFormatsNotifier::instance(), &CopyFormatsNotifier::formatsChanged, this, [this] {
        formats = CopyFormats::all();
        fillPicker();
        restoreFormatIdx();
    });

    m_toggle = new QPushButton;
    connect(m_toggle, &QPushButton::clicked, this, &PaletteView::toggleOptions);

    m_pick = new QPushButton(tr("Pick"));
    m_pick->setToolTip(tr("Pick a color on screen and add it to this palette"));
    connect(m_pick, &QPushButton::clicked, this, &PaletteView::pickColor);

    auto *titleContent = new QWidget;
    auto *titleRow = new QHBoxLayout(titleContent);
    titleRow->setContentsMargins(0, 0, 0, 0);
    titleRow->addWidget(picker, 0, Qt::AlignVCenter);
    titleRow->addWidget(m_toggle, 0, Qt::AlignVCenter);
    titleRow->addWidget(m_pick, 0, Qt::AlignVCenter);

    m_grid = new PaletteColorGridView(this->palette, Binding<int>::to(&this->colCount, changed),
                                      Binding<double>::to(&this->cellSize, changed),
                                      Binding<double>::to(&this->cellSpacing, changed),
                                      Binding<double>::to(&this->cellRadius, changed),
                                      Binding<ModifyType>::to(&this->modifyType, changed),
                                      Binding<int>::to(&this->modifyColorIdx, changed),
                                      // The editor shows these itself as they change; a
                                      // keystroke or a pick need not redo the whole view.
                                      Binding<QString>::to(&this->modifyColorName),
                                      Binding<ColorValue>::to(&this->modifyColorColor),
                                      Binding<int>::to(&selectedFormatIdx, changed),
                                      Binding<QStringList>::to(&formats, changed), std::move(edit));
    m_section = new SectionView2C(tr("Colors"), titleContent, m_grid);

    m_options = new PaletteOptionsView(
        100, 300, 999, Binding<bool>::to(&this->showOptions, changed),
        Binding<int>::to(&this->colCount, changed), Binding<double>::to(&this->cellSize, changed),
        Binding<double>::to(&this->cellSpacing, changed),
        Binding<double>::to(&this->cellRadius, changed));

    m_message = new QLabel;
    m_message->setWordWrap(true);
    m_message->hide();

    // Ctrl+V anywhere in the window but a text field adds the colours on the clipboard.
    // Tab goes from the options toggle straight to the swatches, as before the button came.
    setTabOrder(m_toggle, m_grid);
    setTabOrder(m_grid, m_pick);

    auto *paste = new QShortcut(QKeySequence::Paste, this);
    paste->setContext(Qt::WidgetWithChildrenShortcut);
    connect(paste, &QShortcut::activated, m_grid, &PaletteColorGridView::pasteFromClipboard);
    m_filter = new QLineEdit;
    m_filter->setPlaceholderText(tr("Find"));
    m_filter->setAccessibleName(tr("Find"));
    m_filter->setClearButtonEnabled(true);
    m_filter->installEventFilter(this);
    connect(m_filter, &QLineEdit::textChanged, this,
            [this](const QString &text) { m_grid->setFilter(PaletteFilter(text)); });

    auto *layout = new QVBoxLayout(this);
    // The content keeps its ideal size whatever room the window offers.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->addWidget(m_message);
    layout->addWidget(m_filter);
    layout->addWidget(m_section, 0, Qt::AlignHCenter);
    layout->addWidget(m_options, 0, Qt::AlignHCenter);
    // Top to bottom: the filter, the copy format, the options toggle, the grid, the options.
    QWidget::setTabOrder(m_filter, m_picker);
    QWidget::setTabOrder(m_picker, m_toggle);
    QWidget::setTabOrder(m_toggle, m_grid);
    QWidget *previous = m_grid;
    for (QWidget *control : m_options->tabOrder()) {
        QWidget::setTabOrder(previous, control);
        previous = control;
    }

    m_building = false;
    stateChanged();
}

void PaletteView::fillPicker() {
    const QSignalBlocker blocker(m_picker);
    m_picker->clear();
    for (int i = 0; i < formats.size(); ++i)
        m_picker->addItem(formatLabel(formats.at(i)), i);
    m_picker->insertSeparator(m_picker->count());
    m_picker->addItem(tr("Edit formats…"), -1);
    m_picker->setCurrentIndex(selectedFormatIdx);
}

void PaletteView::openFormatEditor() {
    const Palette current = palette.get();
    FormatEditor::open(current.palColors.isEmpty() ? SerializableColor{1.0, 0.5, 0.0, std::nullopt}
                                                   : current.palColors.first().colColor.value());
}

void PaletteView::stateChanged() {
    if (m_building)
        return;
    m_toggle->setText(showOptions ? tr("Hide options") : tr("Show options"));
    if (m_picker->currentIndex() != selectedFormatIdx) {
        const QSignalBlocker blocker(m_picker);
        m_picker->setCurrentIndex(selectedFormatIdx);
    }
    m_grid->refresh();
    m_options->refresh();
    // The section's layout learns of the grid's new size only from a posted event: read its
    // width as it is now.
    if (QLayout *sectionLayout = m_section->layout())
        sectionLayout->invalidate();
    m_options->setPanelWidth(m_section->sizeHint().width());
    emit contentResized();
}

void PaletteView::refresh() {
    stateChanged();
}

bool PaletteView::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_filter && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            // The first match is copied in the palette's format, as a click would.
            m_grid->copyColor(m_grid->firstMatch());
            return true;
        }
        if (key->key() == Qt::Key_Escape && !m_filter->text().isEmpty()) {
            m_filter->clear();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void PaletteView::toggleOptions() {
    showOptions = !showOptions;
    stateChanged();
}

void PaletteView::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    restoreFormatIdx();
}

void PaletteView::restoreFormatIdx() {
    const int stored = Settings::integer(SettingsKeys::formatIdxKey(palette.get().palName));
    selectedFormatIdx = qBound(0, stored, qMax(0, static_cast<int>(formats.size()) - 1));
    stateChanged();
}

void PaletteView::storeFormatIdx(int i) {
    selectedFormatIdx = i;
    Settings::setInteger(SettingsKeys::formatIdxKey(palette.get().palName), i);
    stateChanged();
}

ScreenPicker *PaletteView::screenPicker() {
    if (!m_screenPicker) {
        m_screenPicker = new ScreenPicker(this);
        connect(m_screenPicker, &ScreenPicker::picked, m_grid,
                &PaletteColorGridView::addPickedColor);
        connect(m_screenPicker, &ScreenPicker::cancelled, this,
                [] { logLine(QStringLiteral("Pick cancelled")); });
        connect(m_screenPicker, &ScreenPicker::failed, this, [this](const QString &reason) {
            logLine(QStringLiteral("Failed to pick a color: ") + reason);
            showMessage(tr("No screen color picker is available."));
        });
    }
    return m_screenPicker;
}

void PaletteView::pickColor() {
    screenPicker()->start();
}

QString PaletteView::messageText() const {
    return m_message->isHidden() ? QString() : m_message->text();
}

void PaletteView::showMessage(const QString &text) {
    m_message->setText(text);
    m_message->show();
    emit contentResized();
    // Gone again after a while, so the window returns to its size.
    QTimer::singleShot(8000, m_message, [this, text] {
        if (m_message->text() == text) {
            m_message->hide();
            m_message->clear();
            emit contentResized();
        }
    });
}
