#include "views/palette/FormatEditor.h"

#include "model/ColorText.h"
#include "settings/CopyFormats.h"
#include "views/palette/CopyFormatsNotifier.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
QPointer<FormatEditor> g_open;
}

FormatEditor::FormatEditor(const SerializableColor &sample, QWidget *parent)
    : QDialog(parent)
    , m_sample(sample) {
    setWindowTitle(tr("Copy formats"));

    m_list = new QTreeWidget;
    m_list->setColumnCount(2);
    m_list->setHeaderLabels({tr("Template"), tr("Copies")});
    m_list->setRootIsDecorated(false);
    m_list->setAccessibleName(tr("Your formats"));
    m_list->header()->setSectionResizeMode(QHeaderView::Stretch);

    m_field = new QLineEdit;
    m_field->setAccessibleName(tr("Template"));
    m_field->setPlaceholderText(tr("e.g. rgb(§r §g §b)"));
    m_preview = new QLabel;
    m_preview->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_preview->setAccessibleName(tr("Preview"));

    m_add = new QPushButton(tr("Add"));
    m_change = new QPushButton(tr("Change"));
    m_remove = new QPushButton(tr("Remove"));
    m_up = new QPushButton(tr("Move up"));
    m_down = new QPushButton(tr("Move down"));
    auto *buttons = new QHBoxLayout;
    for (QPushButton *button : {m_add, m_change, m_remove, m_up, m_down}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }

    m_ready = new QListWidget;
    m_ready->setAccessibleName(tr("Ready-made formats"));
    for (const auto &[label, text] : readyMade()) {
        auto *item = new QListWidgetItem(label + QStringLiteral("   ") + formatLabel(text));
        item->setData(Qt::UserRole, text);
        item->setToolTip(tr("Click to add"));
        m_ready->addItem(item);
    }
    m_ready->setMaximumHeight(m_ready->sizeHintForRow(0) * (m_ready->count() + 1));

    auto *help = new QLabel(helpText());
    help->setWordWrap(true);
    help->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Your formats, after the built-in ones in \"Copy format\":")));
    layout->addWidget(m_list);
    auto *editRow = new QGridLayout;
    editRow->addWidget(new QLabel(tr("Template")), 0, 0);
    editRow->addWidget(m_field, 0, 1);
    editRow->addWidget(new QLabel(tr("Preview")), 1, 0);
    editRow->addWidget(m_preview, 1, 1);
    layout->addLayout(editRow);
    layout->addLayout(buttons);
    layout->addWidget(new QLabel(tr("Ready-made (click to add):")));
    layout->addWidget(m_ready);
    layout->addWidget(help);

    connect(m_field, &QLineEdit::textChanged, this, [this](const QString &text) {
        m_preview->setText(formatColor(text, m_sample));
        updateButtons();
    });
    connect(m_list, &QTreeWidget::currentItemChanged, this, [this] {
        const int row = currentRow();
        if (row >= 0)
            m_field->setText(CopyFormats::userFormats().value(row));
        updateButtons();
    });
    connect(m_add, &QPushButton::clicked, this, [this] { addTemplate(m_field->text()); });
    connect(m_change, &QPushButton::clicked, this,
            [this] { changeTemplate(currentRow(), m_field->text()); });
    connect(m_remove, &QPushButton::clicked, this, [this] { removeTemplate(currentRow()); });
    connect(m_up, &QPushButton::clicked, this, [this] { moveTemplate(currentRow(), -1); });
    connect(m_down, &QPushButton::clicked, this, [this] { moveTemplate(currentRow(), 1); });
    connect(m_ready, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { addTemplate(item->data(Qt::UserRole).toString()); });

    reload(-1);
    resize(560, 620);
}

FormatEditor *FormatEditor::open(const SerializableColor &sample) {
    if (!g_open) {
        g_open = new FormatEditor(sample);
        g_open->setAttribute(Qt::WA_DeleteOnClose);
    } else {
        g_open->setSample(sample);
    }
    g_open->show();
    g_open->raise();
    g_open->activateWindow();
    return g_open;
}

QList<QPair<QString, QString>> FormatEditor::readyMade() {
    return {
        {tr("CSS rgb()"), QStringLiteral("rgb(§r §g §b / §{a1})")},
        {tr("CSS hsl()"), QStringLiteral("hsl(§{h} §{s}% §{l}%)")},
        {tr("CSS oklch()"), QStringLiteral("oklch(§{okl} §{okc} §{okh})")},
        {tr("Android ARGB"), QStringLiteral("#§{ahex}§hex")},
        {tr("SwiftUI"), QStringLiteral("Color(red: §{r1}, green: §{g1}, blue: §{b1})")},
        {tr("Qt"), QStringLiteral("QColor(§r, §g, §b)")},
        {tr("Floats"), QStringLiteral("§{r1}, §{g1}, §{b1}, §{a1}")},
    };
}

QString FormatEditor::helpText() {
    return tr("Tokens: §r §g §b §a (0–255), §hex (RRGGBB), §hexA (RRGGBBAA), "
              "§r01 §g01 §b01 §a01 (exact fractions), "
              "§{h} §{s} §{l} (HSL: hue 0–359°, saturation and lightness in %), "
              "§{okl} §{okc} §{okh} (OKLCH: lightness and chroma with 3 decimals, hue in degrees "
              "with 1), §{r1} §{g1} §{b1} §{a1} (0–1 with 3 decimals), §{ahex} (alpha as two hex "
              "digits). Everything else is copied as written.");
}

void FormatEditor::setSample(const SerializableColor &sample) {
    m_sample = sample;
    reload(currentRow());
}

void FormatEditor::addTemplate(const QString &text) {
    if (text.isEmpty())
        return;
    QStringList templates = CopyFormats::userFormats();
    templates.append(text);
    store(templates, int(templates.size()) - 1);
}

void FormatEditor::changeTemplate(int row, const QString &text) {
    QStringList templates = CopyFormats::userFormats();
    if (row < 0 || row >= templates.size() || text.isEmpty())
        return;
    templates[row] = text;
    store(templates, row);
}

void FormatEditor::removeTemplate(int row) {
    QStringList templates = CopyFormats::userFormats();
    if (row < 0 || row >= templates.size())
        return;
    templates.removeAt(row);
    store(templates, qMin(row, int(templates.size()) - 1));
}

void FormatEditor::moveTemplate(int row, int by) {
    QStringList templates = CopyFormats::userFormats();
    const int to = row + by;
    if (row < 0 || row >= templates.size() || to < 0 || to >= templates.size())
        return;
    templates.move(row, to);
    store(templates, to);
}

void FormatEditor::store(const QStringList &templates, int select) {
    CopyFormats::setUserFormats(templates);
    reload(select);
    emit CopyFormatsNotifier::instance()->formatsChanged();
}

void FormatEditor::reload(int select) {
    const QSignalBlocker blocker(m_list);
    m_list->clear();
    for (const QString &text : CopyFormats::userFormats())
        m_list->addTopLevelItem(new QTreeWidgetItem({text, formatColor(text, m_sample)}));
    if (select >= 0 && select < m_list->topLevelItemCount()) {
        m_list->setCurrentItem(m_list->topLevelItem(select));
        m_field->setText(CopyFormats::userFormats().value(select));
    }
    m_preview->setText(formatColor(m_field->text(), m_sample));
    updateButtons();
}

void FormatEditor::updateButtons() {
    const int row = currentRow();
    const int count = m_list->topLevelItemCount();
    m_add->setEnabled(!m_field->text().isEmpty());
    m_change->setEnabled(row >= 0 && !m_field->text().isEmpty());
    m_remove->setEnabled(row >= 0);
    m_up->setEnabled(row > 0);
    m_down->setEnabled(row >= 0 && row < count - 1);
}

int FormatEditor::currentRow() const {
    QTreeWidgetItem *item = m_list->currentItem();
    return item ? m_list->indexOfTopLevelItem(item) : -1;
}
