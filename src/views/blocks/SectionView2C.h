#pragma once

#include <QString>
#include <QWidget>

class QLabel;

// A block with a heading row (the title, drawn as written, and an optional accessory at the
// trailing end) above its content.
class SectionView2C : public QWidget {
    Q_OBJECT
public:
    SectionView2C(const QString &title, QWidget *titleContent, QWidget *content,
                  QWidget *parent = nullptr);

    QString title() const;
    QLabel *titleLabel() const { return m_titleLabel; }
    QWidget *titleContent() const { return m_titleContent; }
    QWidget *content() const { return m_content; }

private:
    QLabel *m_titleLabel;
    QWidget *m_titleContent;
    QWidget *m_content;
};
