#pragma once

#include <QScrollArea>

// A scroll area as large as its content up to a limit, scrolling beyond it. Keeps a huge grid
// from pushing the controls around it off screen.
class BoundedScrollArea : public QScrollArea {
    Q_OBJECT
public:
    explicit BoundedScrollArea(QWidget *parent = nullptr);

    void setLimit(const QSize &limit);
    QSize limit() const { return m_limit; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QSize m_limit{QWIDGETSIZE_MAX, QWIDGETSIZE_MAX};
};
