#include "views/blocks/OptionRow.h"

#include <QHBoxLayout>
#include <QLabel>

OptionRow::OptionRow(const QString &label, int labelWidth, QWidget *control, QWidget *extra,
                     QWidget *parent)
    : QWidget(parent) {
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *text = new QLabel(label);
    text->setFixedWidth(labelWidth);
    text->setAlignment(Qt::AlignLeading | Qt::AlignVCenter);
    text->setBuddy(control);
    layout->addWidget(text);
    if (extra) {
        layout->addWidget(control, 0, Qt::AlignVCenter);
        layout->addWidget(extra, 1, Qt::AlignVCenter);
    } else if (control->sizePolicy().horizontalPolicy() == QSizePolicy::Fixed) {
        layout->addWidget(control, 0, Qt::AlignLeading | Qt::AlignVCenter);
        layout->addStretch(1);
    } else {
        layout->addWidget(control, 1, Qt::AlignVCenter);
    }
}
