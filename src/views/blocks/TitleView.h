#pragma once

#include <QWidget>

class QLabel;

// The product-name heading at the top of the popover and the preferences.
class TitleView : public QWidget {
    Q_OBJECT
public:
    explicit TitleView(QWidget *parent = nullptr);
    QLabel *label() const { return m_label; }

private:
    QLabel *m_label;
};
