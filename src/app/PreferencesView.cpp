#include "app/PreferencesView.h"

#include "platform/FileViewer.h"
#include "platform/Platform.h"
#include "settings/Settings.h"
#include "store/Manager.h"
#include "views/blocks/SectionView.h"
#include "views/blocks/TitleView.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {
QLabel *centredText(const QString &text) {
    auto *label = new QLabel(text);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

QWidget *column(std::initializer_list<QWidget *> children, int spacing = -1) {
    auto *widget = new QWidget;
    auto *layout = new QVBoxLayout(widget);
    layout->setContentsMargins(0, 0, 0, 0);
    if (spacing >= 0)
        layout->setSpacing(spacing);
    for (QWidget *child : children)
        layout->addWidget(child);
    return widget;
}

QWidget *spacer(int height) {
    auto *widget = new QWidget;
    widget->setFixedHeight(height);
    return widget;
}
} // namespace

QString PreferencesView::copyHintText() {
    // Only X11 lets a window take a click without becoming the active one.
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        return tr("Click on a color to copy it without switching focus to Swatchbar");
    return tr("Click on a color to copy it");
}

QString PreferencesView::versionText() {
    return tr("Swatchbar %1").arg(QStringLiteral("v" SWATCHBAR_VERSION));
}

PreferencesView::PreferencesView(QWidget *parent)
    : QWidget(parent)
    , isAutoStart(Platform::instance().isAutostartEnabled())
    , hideDockIcon(Settings::boolean(QString::fromLatin1(SettingsKeys::hideDockIcon))) {
    m_startAtLogin = new QCheckBox(tr("Start at login"));
    m_startAtLogin->setChecked(isAutoStart);
    connect(m_startAtLogin, &QCheckBox::toggled, this, &PreferencesView::setAutoStart);

    m_hideDockIcon = new QCheckBox(tr("hide app in dock"));
    m_hideDockIcon->setChecked(hideDockIcon);
    connect(m_hideDockIcon, &QCheckBox::toggled, this, &PreferencesView::setHideDockIcon);

    m_openFolder = new QPushButton(tr("Open palettes folder"));
    connect(m_openFolder, &QPushButton::clicked, this, &PreferencesView::openPalettesFolder);

    m_reload = new QPushButton(tr("Reload palettes"));
    connect(m_reload, &QPushButton::clicked, this, [] { Manager::loadAllPalettes(); });

    // Each control takes the full width, its content at the leading edge; the block is inset.
    auto *options = new QWidget;
    auto *optionsLayout = new QVBoxLayout(options);
    optionsLayout->setContentsMargins(static_cast<int>(sectionMargin), 0, 0, 0);
    for (QWidget *control :
         {static_cast<QWidget *>(m_startAtLogin), static_cast<QWidget *>(m_hideDockIcon),
          static_cast<QWidget *>(m_openFolder), static_cast<QWidget *>(m_reload)})
        optionsLayout->addWidget(control, 0, Qt::AlignLeft);

    // Said only where the text is true, near the button that acts.
    m_folderStatus = new QLabel;
    m_folderStatus->setWordWrap(true);
    m_folderStatus->hide();
    optionsLayout->addWidget(m_folderStatus);
    QPointer<QLabel> status(m_folderStatus);
    FileViewer::setFailureListener([status](const QString &folder) {
        if (!status)
            return;
        status->setText(tr("No file viewer could show %1").arg(folder));
        status->show();
    });

    auto *hints = column({centredText(tr("Hints:")), centredText(copyHintText())});

    // No palettes ship with the program, so there is no credit for them: the version only.
    m_version = centredText(versionText());
    auto *credits = column({m_version}, 0);

    // Sections centre their content; the options take the panel's full width so that they
    // line up at the leading edge.
    options->setMinimumWidth(qMax(hints->sizeHint().width(), credits->sizeHint().width()));

    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(new TitleView);
    layout->addWidget(new SectionView(tr("Options"), options));
    layout->addWidget(spacer(30));
    layout->addWidget(new SectionView(QString(), hints));
    layout->addWidget(spacer(30));
    layout->addWidget(new SectionView(QString(), credits));
}

void PreferencesView::showEvent(QShowEvent *event) {
    // The toggle's value is stored when the panel first shows, and on every change after.
    if (!m_shown) {
        m_shown = true;
        storeHideDockIcon();
    }
    QWidget::showEvent(event);
}

void PreferencesView::setAutoStart(bool on) {
    Platform &platform = Platform::instance();
    platform.setAutostartEnabled(on);
    // Show what is true, not what was asked: a failed change puts the toggle back.
    isAutoStart = platform.isAutostartEnabled();
    const QSignalBlocker block(m_startAtLogin);
    m_startAtLogin->setChecked(isAutoStart);
}

void PreferencesView::setHideDockIcon(bool on) {
    hideDockIcon = on;
    storeHideDockIcon();
}

void PreferencesView::storeHideDockIcon() const {
    Settings::setBoolean(QString::fromLatin1(SettingsKeys::hideDockIcon), hideDockIcon);
}

void PreferencesView::openPalettesFolder() {
    m_folderStatus->hide();
    if (const std::optional<QString> folder =
            Manager::supportSubfolder(QStringLiteral("Palettes"), true))
        Manager::revealInFileViewer(folder);
}
