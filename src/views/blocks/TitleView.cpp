#include "views/blocks/TitleView.h"

#include <QLabel>
#include <QVBoxLayout>

TitleView::TitleView(QWidget *parent)
    : QWidget(parent)
    , m_label(new QLabel(tr("Swatchbar"))) {
    QFont font = m_label->font();
    font.setPointSizeF(font.pointSizeF() * 2.0);
    font.setBold(true);
    m_label->setFont(font);
    m_label->setAlignment(Qt::AlignCenter);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_label);
    layout->addSpacing(10);
}
