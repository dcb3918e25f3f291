#pragma once

#include <QString>
#include <QWidget>

// A block of content in a centred vertical stack. The title names the block; it is not drawn.
class SectionView : public QWidget {
    Q_OBJECT
public:
    SectionView(const QString &title, QWidget *content, QWidget *parent = nullptr);

    QString title() const { return m_title; }
    QWidget *content() const { return m_content; }

private:
    QString m_title;
    QWidget *m_content;
};
