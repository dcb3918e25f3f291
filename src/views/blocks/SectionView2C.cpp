#include "views/blocks/SectionView2C.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

SectionView2C::SectionView2C(const QString &title, QWidget *titleContent, QWidget *content,
                             QWidget *parent)
    : QWidget(parent)
    , m_titleLabel(new QLabel(title))
    , m_titleContent(titleContent)
    , m_content(content) {
    // Titles are data (a palette section's name), so they are shown without translation.
    m_titleLabel->setTextFormat(Qt::PlainText);
    QFont font = m_titleLabel->font();
    font.setPointSizeF(font.pointSizeF() * 1.4);
    font.setBold(true);
    m_titleLabel->setFont(font);
    m_titleLabel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_titleLabel->setAlignment(Qt::AlignLeading | Qt::AlignVCenter);

    auto *row = new QHBoxLayout;
    row->addWidget(m_titleLabel, 1);
    if (titleContent)
        row->addWidget(titleContent, 0, Qt::AlignVCenter);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(row);
    if (content)
        layout->addWidget(content, 0, Qt::AlignHCenter);
}

QString SectionView2C::title() const {
    return m_titleLabel->text();
}
