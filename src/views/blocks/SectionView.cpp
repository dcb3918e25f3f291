#include "views/blocks/SectionView.h"

#include <QVBoxLayout>

SectionView::SectionView(const QString &title, QWidget *content, QWidget *parent)
    : QWidget(parent)
    , m_title(title)
    , m_content(content) {
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    if (content)
        layout->addWidget(content, 0, Qt::AlignHCenter);
}
