#pragma once

#include "model/SerializableColor.h"

#include <QDialog>
#include <QPointer>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTreeWidget;

// "Edit formats…": the user's own copy templates, each with its text for a sample colour (the
// palette's first), added, changed, removed and moved; ready-made templates one click away.
// Every change is stored at once.
class FormatEditor : public QDialog {
    Q_OBJECT
public:
    explicit FormatEditor(const SerializableColor &sample, QWidget *parent = nullptr);

    // Opens the one editor (raised when it is open already) with this sample colour.
    static FormatEditor *open(const SerializableColor &sample);

    // Ready-made templates: label and template.
    static QList<QPair<QString, QString>> readyMade();
    // The token reference shown in the editor.
    static QString helpText();

    void setSample(const SerializableColor &sample);
    void addTemplate(const QString &text);
    void changeTemplate(int row, const QString &text);
    void removeTemplate(int row);
    void moveTemplate(int row, int by);

    QTreeWidget *list() const { return m_list; }
    QLineEdit *field() const { return m_field; }
    QLabel *preview() const { return m_preview; }
    QListWidget *readyList() const { return m_ready; }

private:
    void store(const QStringList &templates, int select);
    void reload(int select);
    void updateButtons();
    int currentRow() const;

    SerializableColor m_sample;
    QTreeWidget *m_list = nullptr;
    QLineEdit *m_field = nullptr;
    QLabel *m_preview = nullptr;
    QListWidget *m_ready = nullptr;
    QPushButton *m_add = nullptr;
    QPushButton *m_change = nullptr;
    QPushButton *m_remove = nullptr;
    QPushButton *m_up = nullptr;
    QPushButton *m_down = nullptr;
};
