#include "views/popover/MenuItemView.h"

#include "app/Shell.h"
#include "model/PaletteFilter.h"
#include "settings/Settings.h"
#include "store/Manager.h"
#include "store/PaletteTransfer.h"
#include "store/PalettesOO.h"
#include "store/UndoStack.h"
#include "views/blocks/BoundedScrollArea.h"
#include "views/blocks/OptionRow.h"
#include "views/blocks/SectionView.h"
#include "views/blocks/TitleView.h"
#include "views/blocks/UndoActions.h"
#include "views/palette/PaletteView.h"
#include "views/popover/GridMetrics.h"
#include "views/popover/MenuItemModifyView.h"
#include "views/popover/PaletteGridView.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QSpinBox>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>

namespace {
// The radius slider moves in tenths.
constexpr int radiusSliderScale = 10;

QString numberText(double value) {
    return QString::number(static_cast<float>(value), 'g', 7);
}

QLabel *heading(const QString &text) {
    auto *label = new QLabel(text);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

std::optional<double> parseNumber(const QString &text) {
    bool ok = false;
    double value = text.trimmed().toDouble(&ok);
    if (!ok)
        value = QLocale().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}
} // namespace

MenuItemView::MenuItemView(QWidget *parent, PalettesOO *collection)
    : QWidget(parent)
    , gridCellSize(Settings::floatValue(SettingsKeys::menuGridCellSize))
    , gridCellSpacing(Settings::floatValue(SettingsKeys::menuGridCellSpacing))
    , gridCellRadius(Settings::floatValue(SettingsKeys::menuGridCellRadius))
    , gridColCount(Settings::integer(SettingsKeys::menuGridColCount))
    , cellColCount(Settings::integer(SettingsKeys::menuCellColCount))
    , m_palettesOO(collection ? collection : new PalettesOO(this)) {
    m_grid = new PaletteGridView(m_palettesOO);
    m_modifyView = new MenuItemModifyView(newPaletteName.binding(), modifyType.binding(),
                                          modifyColorIdx.binding(), m_palettesOO, m_grid);
    m_modifyView->hide();

    m_optionsButton = new QPushButton;
    m_preferencesButton = new QPushButton(tr("Preferences"));
    m_quitButton = new QPushButton(tr("Quit"));
    m_filter = new QLineEdit;
    m_filter->setPlaceholderText(tr("Find"));
    m_filter->setAccessibleName(tr("Find"));
    m_filter->setClearButtonEnabled(true);
    m_filter->installEventFilter(this);
    m_grid->installEventFilter(this);
    connect(m_filter, &QLineEdit::textChanged, this, [this](const QString &text) {
        m_grid->setFilter(PaletteFilter(text));
        updateEditor(false);
    });

    auto *buttons = new QWidget;
    m_buttons = buttons;
    auto *buttonRow = new QHBoxLayout(buttons);
    buttonRow->setContentsMargins(0, 0, 0, 0);
    buttonRow->addWidget(m_optionsButton);
    buttonRow->addWidget(m_preferencesButton);
    buttonRow->addWidget(m_quitButton);

    m_layout = new QVBoxLayout(this);
    m_layout->setSizeConstraint(QLayout::SetFixedSize);
    m_layout->setContentsMargins(14, 12, 14, 12);
    m_layout->setSpacing(10);
    m_layout->addWidget(new TitleView);
    m_layout->addWidget(m_filter);
    // The grid scrolls on its own, so the options and buttons below it stay within reach.
    m_gridArea = new BoundedScrollArea;
    m_gridArea->setWidget(m_grid);
    m_gridSection = new SectionView(tr("Palettes"), m_gridArea);
    m_layout->addWidget(m_gridSection);
    m_importButton = new QPushButton(tr("Import…"));
    m_importButton->setToolTip(tr("Add palettes from GIMP (.gpl), Adobe (.ase), CSS, text or "
                                  "Swatchbar (.json) files; dropping files here does the same"));
    connect(m_importButton, &QPushButton::clicked, this, &MenuItemView::chooseImportFiles);
    m_layout->addWidget(m_importButton, 0, Qt::AlignLeft);
    setAcceptDrops(true);
    m_layout->addWidget(new SectionView(QString(), buttons));

    for (QPushButton *button : {m_optionsButton, m_preferencesButton, m_quitButton})
        button->installEventFilter(this);
    connect(m_optionsButton, &QPushButton::clicked, this,
            [this] { showOptions.set(!showOptions.get()); });
    connect(m_preferencesButton, &QPushButton::clicked, this, [] { showPreferences(); });
    connect(m_quitButton, &QPushButton::clicked, this, [] { quitApplication(); });

    connect(m_grid, &PaletteGridView::paletteClicked, this, &MenuItemView::openPalette);
    connect(m_grid, &PaletteGridView::plusClicked, this, &MenuItemView::addPalette);
    connect(m_grid, &PaletteGridView::paletteMoved, this,
            [](int from, int to) { Manager::movePalette(from, to); });
    connect(m_grid, &PaletteGridView::paletteContextMenuRequested, this,
            [this](int index, const QPoint &globalPos) {
                QMenu *menu = createContextMenu(index, this);
                menu->setAttribute(Qt::WA_DeleteOnClose);
                menu->popup(globalPos);
            });
    connect(m_palettesOO, &PalettesOO::palettesChanged, this, &MenuItemView::onPalettesChanged);
    UndoActions::installShortcuts(this, [] { return UndoStack::forPalettes(); });

    for (State<double> *state : {&gridCellSize, &gridCellSpacing, &gridCellRadius})
        state->onChange([this] { updateGrid(); });
    for (State<int> *state : {&gridColCount, &cellColCount})
        state->onChange([this] { updateGrid(); });
    showOptions.onChange([this] { updateOptions(); });
    modifyType.onChange([this] { updateEditor(true); });
    modifyColorIdx.onChange([this] { updateEditor(true); });
    newPaletteName.onChange([this] { m_modifyView->refresh(); });

    if (const QScreen *s = QGuiApplication::primaryScreen())
        m_room = s->availableGeometry().size().shrunkBy(QMargins(2, 2, 2, 2));
    updateGrid();
    updateOptions();
}

void MenuItemView::setRoom(const QSize &room) {
    m_room = room;
    fitGridToRoom();
}

void MenuItemView::fitGridToRoom() {
    if (!m_room.isValid()) {
        m_gridArea->setLimit(QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
        return;
    }
    // Everything but the grid keeps its size; the grid gets what is left.
    const QMargins margins = m_layout->contentsMargins();
    int others = margins.top() + margins.bottom();
    int count = 0;
    for (int i = 0; i < m_layout->count(); ++i) {
        QWidget *w = m_layout->itemAt(i)->widget();
        if (!w || w->isHidden())
            continue;
        ++count;
        if (w != m_gridSection)
            others += w->sizeHint().height();
    }
    others += m_layout->spacing() * qMax(0, count - 1);
    // The section's own title row and margins around the grid.
    others += m_gridSection->sizeHint().height() - m_gridArea->sizeHint().height();
    const int width = m_room.width() - margins.left() - margins.right() -
                      (m_gridSection->sizeHint().width() - m_gridArea->sizeHint().width());
    m_gridArea->setLimit(QSize(qMax(60, width), qMax(60, m_room.height() - others)));
}

void MenuItemView::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (const QScreen *s = screen())
        setRoom(s->availableGeometry().size().shrunkBy(QMargins(2, 2, 2, 2)));
    // Typing goes to the filter as soon as the popover opens.
    m_filter->setFocus(Qt::PopupFocusReason);
}

void MenuItemView::hideEvent(QHideEvent *event) {
    QWidget::hideEvent(event);
    m_filter->clear();
}

bool MenuItemView::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    if (watched == m_filter) {
        switch (key->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Left:
        case Qt::Key_Right:
            // The arrows move through the matches.
            m_grid->moveCurrent(key->key());
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (m_grid->itemCount() > 1 || !m_grid->isFiltered())
                m_grid->activateCurrent();
            return true;
        case Qt::Key_Escape:
            // First clears the filter; with nothing to clear the popover closes.
            if (!m_filter->text().isEmpty()) {
                m_filter->clear();
                return true;
            }
            if (window()->windowType() == Qt::Popup) {
                window()->close();
                return true;
            }
            return false;
        default:
            return false;
        }
    }
    // Keys typed on the grid or a button go to the filter; number fields keep theirs.
    if (watched == m_grid || watched == m_optionsButton || watched == m_preferencesButton ||
        watched == m_quitButton || watched == m_radiusSlider) {
        const QString text = key->text();
        const bool typed =
            !text.isEmpty() && text.at(0).isPrint() &&
            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) &&
            !(key->key() == Qt::Key_Space && m_filter->text().isEmpty());
        if (typed) {
            m_filter->setFocus(Qt::OtherFocusReason);
            m_filter->insert(text);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MenuItemView::updateTabOrder() {
    // Filter, grid, options when shown, then the buttons: every stop is a visible control.
    QList<QWidget *> order{m_filter, m_grid};
    if (m_optionsPanel)
        order << m_sizeField << m_spacingField << m_gridColStepper << m_radiusField
              << m_radiusSlider << m_cellColStepper;
    order << m_optionsButton << m_preferencesButton << m_quitButton;
    for (int i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order.at(i), order.at(i + 1));
}

void MenuItemView::updateGrid() {
    m_grid->setMetrics(GridMetrics::sane(gridCellSize.get(), gridCellSpacing.get(),
                                         gridCellRadius.get(), gridColCount.get(),
                                         cellColCount.get()));
    syncOptionControls();
    if (m_gridArea)
        fitGridToRoom();
}

void MenuItemView::updateEditor(bool modeChanged) {
    int item = -1;
    if (modifyType.get() == ModifyType::Edit && m_palettesOO->contains(modifyColorIdx.get()))
        item = m_grid->itemOf(modifyColorIdx.get());
    else if (modifyType.get() == ModifyType::Add)
        item = m_grid->plusItem();
    // A list change only moves an open editor; the text being typed stays as it is.
    const bool opening = item >= 0 && (modeChanged || m_modifyView->isHidden());
    if (opening && modifyType.get() == ModifyType::Edit)
        m_editedName = m_palettesOO->palettes().at(modifyColorIdx.get()).palName;
    m_modifyView->refresh();
    m_grid->setEditor(m_modifyView, item);
    if (opening)
        m_modifyView->opened();
}

void MenuItemView::onPalettesChanged() {
    // An editor renaming palette i must not end up on whichever palette moved into place i.
    if (modifyType.get() == ModifyType::Edit) {
        const int index = modifyColorIdx.get();
        if (!m_palettesOO->contains(index) ||
            m_palettesOO->palettes().at(index).palName != m_editedName) {
            modifyType.set(ModifyType::None);
            return;
        }
    }
    updateEditor(false);
}

void MenuItemView::openPalette(int index) {
    if (m_palettesOO->contains(index))
        openPaletteWindow(m_palettesOO, index);
}

void MenuItemView::renamePalette(int index) {
    if (!m_palettesOO->contains(index))
        return;
    m_editedName = m_palettesOO->palettes().at(index).palName;
    newPaletteName.set(m_editedName);
    modifyColorIdx.set(index);
    modifyType.set(ModifyType::Edit);
    updateEditor(true);
}

void MenuItemView::deletePalette(int index) {
    if (!m_palettesOO->contains(index))
        return;
    // A copy: the reload inside deletePalette replaces the list the name lives in.
    const QString name = m_palettesOO->palettes().at(index).palName;
    const std::optional<QByteArray> bytes = Manager::paletteFileBytes(name);
    const QString key = SettingsKeys::paletteIndexKey(name);
    const bool hadKey = Settings::contains(key);
    const int position = Settings::integer(key);
    Manager::deletePalette(name);
    if (!bytes || Manager::paletteFileBytes(name))
        return; // nothing was deleted
    const QString inTrash = Manager::lastTrashedFile();
    UndoStack::forPalettes()->push({tr("Delete palette"),
                                    [name, bytes, inTrash, key, hadKey, position] {
                                        if (!Manager::restorePalette(name, *bytes, inTrash))
                                            return false;
                                        Manager::loadAllPalettes([key, hadKey, position] {
                                            if (hadKey)
                                                Settings::setInteger(key, position);
                                        });
                                        return true;
                                    },
                                    [name] {
                                        Manager::deletePalette(name);
                                        return !Manager::paletteFileBytes(name);
                                    }});
}

void MenuItemView::addPalette() {
    newPaletteName.set(tr("New palette"));
    modifyColorIdx.set(-1);
    modifyType.set(ModifyType::Add);
    updateEditor(true);
}

QMenu *MenuItemView::createContextMenu(int index, QWidget *parent) {
    auto *menu = new QMenu(parent);
    const QString name =
        m_palettesOO->contains(index) ? m_palettesOO->palettes().at(index).palName : QString();
    // The list may change while the menu is open (a reload elsewhere).
    auto stillThere = [this, index, name] {
        return m_palettesOO->contains(index) && m_palettesOO->palettes().at(index).palName == name;
    };
    menu->addAction(tr("Rename"), this, [this, index, stillThere] {
        if (stillThere())
            renamePalette(index);
    });
    menu->addAction(tr("Delete"), this, [this, index, stillThere] {
        if (stillThere())
            deletePalette(index);
    });
    menu->addAction(tr("Export…"), this, [this, index, stillThere] {
        if (stillThere())
            chooseExportFile(index);
    });
    UndoActions::addTo(menu, UndoStack::forPalettes());
    return menu;
}

QStringList MenuItemView::importFiles(const QStringList &paths) {
    QStringList added;
    for (const QString &path : paths)
        if (const std::optional<QString> name = PaletteTransfer::importFile(path))
            added << *name;
    // One step takes the whole import back (to the trash) and makes it again.
    QHash<QString, QByteArray> files;
    for (const QString &name : std::as_const(added)) {
        if (const std::optional<QByteArray> bytes = Manager::paletteFileBytes(name))
            files.insert(name, *bytes);
    }
    if (!files.isEmpty()) {
        auto trashed = std::make_shared<QHash<QString, QString>>();
        UndoStack::forPalettes()->push(
            {tr("Import"),
             [files, trashed] {
                 bool all = true;
                 for (auto it = files.cbegin(); it != files.cend(); ++it) {
                     Manager::deletePalette(it.key());
                     trashed->insert(it.key(), Manager::lastTrashedFile());
                     all = all && !Manager::paletteFileBytes(it.key());
                 }
                 return all;
             },
             [files, trashed] {
                 bool all = true;
                 for (auto it = files.cbegin(); it != files.cend(); ++it)
                     all =
                         Manager::restorePalette(it.key(), it.value(), trashed->value(it.key())) &&
                         all;
                 Manager::loadAllPalettes();
                 return all;
             }});
    }
    return added;
}

void MenuItemView::chooseImportFiles() {
    // Not modal, and not a child of the popover, which closes when the dialog takes focus.
    auto *dialog = new QFileDialog(nullptr, tr("Import palettes"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(QFileDialog::ExistingFiles);
    dialog->setNameFilters(
        {tr("Palette files (*.gpl *.ase *.css *.txt *.json)"), tr("All files (*)")});
    connect(dialog, &QFileDialog::filesSelected, this,
            [this](const QStringList &files) { importFiles(files); });
    dialog->open();
}

bool MenuItemView::exportPalette(int index, const QString &path) {
    if (!m_palettesOO->contains(index))
        return false;
    return PaletteTransfer::exportPalette(m_palettesOO->palettes().at(index).palName, path);
}

void MenuItemView::chooseExportFile(int index) {
    if (!m_palettesOO->contains(index))
        return;
    const QString name = m_palettesOO->palettes().at(index).palName;
    auto *dialog = new QFileDialog(nullptr, tr("Export “%1”").arg(name));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    const QStringList filters = {tr("GIMP palette (*.gpl)"), tr("Adobe Swatch Exchange (*.ase)"),
                                 tr("CSS custom properties (*.css)"), tr("Plain text (*.txt)"),
                                 tr("Swatchbar palette (*.json)")};
    const QStringList suffixes = {QStringLiteral("gpl"), QStringLiteral("ase"),
                                  QStringLiteral("css"), QStringLiteral("txt"),
                                  QStringLiteral("json")};
    dialog->setNameFilters(filters);
    dialog->setDefaultSuffix(suffixes.first());
    dialog->selectFile(QString(name).replace(QLatin1Char('/'), QLatin1Char('-')) +
                       QStringLiteral(".gpl"));
    connect(dialog, &QFileDialog::filterSelected, dialog,
            [dialog, filters, suffixes](const QString &filter) {
                dialog->setDefaultSuffix(suffixes.value(filters.indexOf(filter), suffixes.first()));
            });
    // The palette is looked up by name when the file is chosen: the list may have changed.
    connect(dialog, &QFileDialog::fileSelected, this,
            [name](const QString &path) { PaletteTransfer::exportPalette(name, path); });
    dialog->open();
}

void MenuItemView::dragEnterEvent(QDragEnterEvent *event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (std::any_of(urls.cbegin(), urls.cend(), [](const QUrl &url) { return url.isLocalFile(); }))
        event->acceptProposedAction();
}

void MenuItemView::dropEvent(QDropEvent *event) {
    QStringList paths;
    for (const QUrl &url : event->mimeData()->urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    importFiles(paths);
}

void MenuItemView::updateOptions() {
    m_optionsButton->setText(showOptions.get() ? tr("Hide options") : tr("Show options"));
    if (showOptions.get() && !m_optionsPanel) {
        m_optionsPanel = buildOptionsPanel();
        m_layout->insertWidget(m_layout->count() - 1, m_optionsPanel);
        syncOptionControls();
        storeFloatOptions();
    } else if (!showOptions.get() && m_optionsPanel) {
        delete m_optionsPanel;
    }
    updateTabOrder();
    fitGridToRoom();
}

QLineEdit *MenuItemView::numberField(const QString &placeholder, State<double> &state,
                                     const char *key) {
    auto *field = new QLineEdit;
    field->setPlaceholderText(placeholder);
    connect(field, &QLineEdit::textEdited, this, [this, &state, key](const QString &text) {
        if (const std::optional<double> value = parseNumber(text)) {
            state.set(*value);
            Settings::setFloat(QString::fromLatin1(key), state.get());
        }
    });
    // Leaving a field with text that is not a number shows the value in use again.
    connect(field, &QLineEdit::editingFinished, this, [this] { syncOptionControls(); });
    return field;
}

QSpinBox *MenuItemView::stepper(State<int> &state, int maximum, const char *key) {
    auto *box = new QSpinBox;
    box->setRange(1, maximum);
    box->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(box, &QSpinBox::valueChanged, this, [&state, key](int value) {
        state.set(value);
        Settings::setInteger(QString::fromLatin1(key), value);
    });
    return box;
}

QWidget *MenuItemView::buildOptionsPanel() {
    m_sizeField = numberField(tr("Size"), gridCellSize, SettingsKeys::menuGridCellSize);
    m_spacingField = numberField(tr("Spacing"), gridCellSpacing, SettingsKeys::menuGridCellSpacing);
    m_gridColStepper = stepper(gridColCount, maxViewCols, SettingsKeys::menuGridColCount);
    m_radiusField = numberField(tr("Radius"), gridCellRadius, SettingsKeys::menuGridCellRadius);
    m_radiusField->setMaximumWidth(25);
    m_radiusSlider = new QSlider(Qt::Horizontal);
    m_radiusSlider->installEventFilter(this);
    m_radiusSlider->setRange(0, 50 * radiusSliderScale);
    connect(m_radiusSlider, &QSlider::valueChanged, this, [this](int value) {
        gridCellRadius.set(static_cast<double>(value) / radiusSliderScale);
        Settings::setFloat(QString::fromLatin1(SettingsKeys::menuGridCellRadius),
                           gridCellRadius.get());
    });
    m_cellColStepper = stepper(cellColCount, maxCellCols, SettingsKeys::menuCellColCount);

    auto *gridOptions = new QWidget;
    auto *gridRows = new QVBoxLayout(gridOptions);
    gridRows->setContentsMargins(0, 0, 0, 0);
    const int margin = optionsMargin;
    gridRows->addWidget(new OptionRow(tr("Size"), margin, m_sizeField));
    gridRows->addWidget(new OptionRow(tr("Spacing"), margin, m_spacingField));
    gridRows->addWidget(new OptionRow(tr("Column count"), margin, m_gridColStepper));
    gridRows->addWidget(new OptionRow(tr("Radius"), margin, m_radiusField, m_radiusSlider));

    // Two rows are both "Column count": a heading over each says which grid it sets.
    auto *cellOptions = new QWidget;
    auto *cellRows = new QVBoxLayout(cellOptions);
    cellRows->setContentsMargins(0, 0, 0, 0);
    cellRows->addWidget(new OptionRow(tr("Column count"), margin, m_cellColStepper));

    for (QWidget *block : {gridOptions, cellOptions})
        block->setMinimumWidth(optionsMargin + 200);

    auto *panel = new QWidget;
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addSpacing(25);
    layout->addWidget(heading(tr("Palettes")));
    layout->addWidget(new SectionView(tr("Grid options"), gridOptions));
    layout->addWidget(heading(tr("Colors in each palette")));
    layout->addWidget(new SectionView(QString(), cellOptions));
    return panel;
}

void MenuItemView::syncOptionControls() {
    if (!m_optionsPanel)
        return;
    // A field whose text already means the value keeps it, so typing is not disturbed.
    auto syncField = [](QLineEdit *field, double value) {
        if (parseNumber(field->text()) != std::optional<double>(value))
            field->setText(numberText(value));
    };
    syncField(m_sizeField, gridCellSize.get());
    syncField(m_spacingField, gridCellSpacing.get());
    syncField(m_radiusField, gridCellRadius.get());
    // Controls show an out-of-range stored value at their limit without writing it back.
    const QSignalBlocker blockSlider(m_radiusSlider);
    const double radius = std::isnan(gridCellRadius.get()) ? 0.0 : gridCellRadius.get();
    m_radiusSlider->setValue(
        static_cast<int>(std::lround(std::clamp(radius, 0.0, 50.0) * radiusSliderScale)));
    const QSignalBlocker blockGridCols(m_gridColStepper);
    m_gridColStepper->setValue(gridColCount.get());
    const QSignalBlocker blockCellCols(m_cellColStepper);
    m_cellColStepper->setValue(cellColCount.get());
}

void MenuItemView::storeFloatOptions() {
    Settings::setFloat(QString::fromLatin1(SettingsKeys::menuGridCellSize), gridCellSize.get());
    Settings::setFloat(QString::fromLatin1(SettingsKeys::menuGridCellSpacing),
                       gridCellSpacing.get());
    Settings::setFloat(QString::fromLatin1(SettingsKeys::menuGridCellRadius), gridCellRadius.get());
}

QWidget *MenuItemView::optionsPanel() const {
    return m_optionsPanel;
}

QLineEdit *MenuItemView::sizeField() const {
    return m_sizeField;
}

QLineEdit *MenuItemView::spacingField() const {
    return m_spacingField;
}

QSpinBox *MenuItemView::gridColCountStepper() const {
    return m_gridColStepper;
}

QLineEdit *MenuItemView::radiusField() const {
    return m_radiusField;
}

QSlider *MenuItemView::radiusSlider() const {
    return m_radiusSlider;
}

QSpinBox *MenuItemView::cellColCountStepper() const {
    return m_cellColStepper;
}
