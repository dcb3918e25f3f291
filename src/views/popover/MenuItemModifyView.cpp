#include "views/popover/MenuItemModifyView.h"

#include "core/Log.h"
#include "store/Manager.h"
#include "store/PalettesOO.h"
#include "store/UndoStack.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {
const QString palettesFolderName = QStringLiteral("Palettes");

QString fileName(const QString &palName) {
    return palName + QStringLiteral(".json");
}
} // namespace

MenuItemModifyView::MenuItemModifyView(Binding<QString> newPaletteName,
                                       Binding<ModifyType> modifyType, Binding<int> modifyColorIdx,
                                       PalettesOO *palettes, QWidget *parent)
    : QWidget(parent)
    , m_newPaletteName(std::move(newPaletteName))
    , m_modifyType(std::move(modifyType))
    , m_modifyColorIdx(std::move(modifyColorIdx))
    , m_palettes(palettes)
    , m_nameField(new QLineEdit)
    , m_hint(new QLabel)
    , m_cancelButton(new QPushButton(tr("Cancel")))
    , m_okButton(new QPushButton(tr("Ok"))) {
    setAutoFillBackground(true);
    m_nameField->setPlaceholderText(tr("Name"));
    m_nameField->setMinimumWidth(60);

    QFont small = m_hint->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    m_hint->setFont(small);
    m_hint->setWordWrap(true);
    m_hint->setAlignment(Qt::AlignCenter);
    m_hint->setForegroundRole(QPalette::PlaceholderText);
    m_hint->hide();

    for (QPushButton *button : {m_cancelButton, m_okButton}) {
        button->setAutoDefault(false);
        button->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        button->setMinimumWidth(button->fontMetrics().horizontalAdvance(button->text()) + 16);
    }

    auto *buttons = new QHBoxLayout;
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(4);
    buttons->addWidget(m_cancelButton);
    buttons->addStretch(1);
    buttons->addWidget(m_okButton);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(4);
    layout->addStretch(1);
    layout->addWidget(m_nameField);
    layout->addWidget(m_hint);
    layout->addStretch(1);
    layout->addLayout(buttons);

    connect(m_nameField, &QLineEdit::textEdited, this, [this](const QString &text) {
        m_newPaletteName.set(text);
        validate();
    });
    connect(m_nameField, &QLineEdit::returnPressed, this, [this] {
        if (m_okButton->isEnabled())
            ok();
    });
    connect(m_cancelButton, &QPushButton::clicked, this, &MenuItemModifyView::cancel);
    connect(m_okButton, &QPushButton::clicked, this, &MenuItemModifyView::ok);
    connect(m_palettes, &PalettesOO::palettesChanged, this, &MenuItemModifyView::validate);
}

void MenuItemModifyView::refresh() {
    const QString name = m_newPaletteName.get();
    if (m_nameField->text() != name)
        m_nameField->setText(name);
    validate();
}

void MenuItemModifyView::opened() {
    m_folder = Manager::supportSubfolder(palettesFolderName, false);
    refresh();
    m_nameField->setFocus(Qt::OtherFocusReason);
    m_nameField->selectAll();
}

bool MenuItemModifyView::fileExists(const QString &name) const {
    return m_folder && QFileInfo::exists(QDir(*m_folder).filePath(fileName(name)));
}

QString MenuItemModifyView::refusalReason() const {
    const QString name = m_newPaletteName.get();
    // An empty name would make a hidden ".json" file and a palette without a caption.
    if (name.isEmpty())
        return tr("Type a name");
    const QString invalid = Manager::invalidNameReason(name);
    if (!invalid.isEmpty())
        return invalid;
    const ModifyType type = m_modifyType.get();
    const int own = type == ModifyType::Edit ? m_modifyColorIdx.get() : -1;
    // Keeping a palette's own name is fine; taking another's would overwrite its file.
    if (own >= 0 && m_palettes->contains(own) && m_palettes->palettes().at(own).palName == name)
        return {};
    const QList<Palette> &palettes = m_palettes->palettes();
    if (std::any_of(palettes.cbegin(), palettes.cend(),
                    [&name](const Palette &p) { return p.palName == name; }))
        return tr("Another palette has this name");
    if (type != ModifyType::None && fileExists(name))
        return tr("A file with this name exists");
    return {};
}

void MenuItemModifyView::validate() {
    const QString reason = refusalReason();
    m_okButton->setEnabled(reason.isEmpty());
    m_hint->setText(reason);
    m_hint->setVisible(!reason.isEmpty());
    m_nameField->setToolTip(reason);
}

void MenuItemModifyView::ok() {
    if (!refusalReason().isEmpty())
        return;
    const QString name = m_newPaletteName.get();
    QPointer<PalettesOO> palettes(m_palettes);
    const auto indexOf = [palettes](const QString &palName) {
        return palettes ? palettes->indexOf(palName) : -1;
    };
    switch (m_modifyType.get()) {
    case ModifyType::Edit: {
        const int index = m_modifyColorIdx.get();
        const QString old =
            m_palettes->contains(index) ? m_palettes->palettes().at(index).palName : QString();
        if (renamePalette(m_palettes, index, name) && old != name) {
            UndoStack::forPalettes()->push({tr("Rename palette"),
                                            [palettes, indexOf, old, name] {
                                                const int at = indexOf(name);
                                                return at >= 0 && renamePalette(palettes, at, old);
                                            },
                                            [palettes, indexOf, old, name] {
                                                const int at = indexOf(old);
                                                return at >= 0 && renamePalette(palettes, at, name);
                                            }});
        }
        break;
    }
    case ModifyType::Add:
        logLine(QStringLiteral("Added pal: ") + printable(name));
        if (addPalette(m_palettes, Palette{name, {}})) {
            UndoStack::forPalettes()->push(
                {tr("New palette"),
                 [indexOf, name] {
                     if (indexOf(name) < 0)
                         return false;
                     Manager::deletePalette(name);
                     return indexOf(name) < 0;
                 },
                 [palettes, name] {
                     return palettes && addPalette(palettes, Palette{name, {}});
                 }});
        }
        break;
    default:
        logLine(QStringLiteral("ERROR: Invalid pal modifyType!"));
        break;
    }
    m_modifyType.set(ModifyType::None);
}

void MenuItemModifyView::cancel() {
    m_modifyType.set(ModifyType::None);
}

bool MenuItemModifyView::renamePalette(PalettesOO *palettes, int index, const QString &name) {
    if (!palettes || !palettes->contains(index))
        return false;
    const Palette old = palettes->palettes().at(index);
    const Palette renamed{name, old.palColors};
    logLine(QStringLiteral("Changed pal: ") + printable(name));

    if (!Manager::renamePalette(old.palName, renamed)) {
        logLine(QStringLiteral("Failed to write file %1 : pal %2 keeps its name")
                    .arg(fileName(printable(name)), printable(old.palName)));
        return false;
    }
    return true;
}

bool MenuItemModifyView::addPalette(PalettesOO *palettes, const Palette &palette) {
    if (!Manager::savePalette(palette)) {
        logLine(QStringLiteral("Failed to write file %1 : pal not added")
                    .arg(fileName(printable(palette.palName))));
        return false;
    }
    palettes->append(palette);
    return true;
}

void MenuItemModifyView::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Escape) {
        cancel();
        event->accept();
        return;
    }
    // Keys the field leaves alone must not move the grid's current cell behind the editor.
    event->accept();
}
