#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <functional>

// The user's changes of this run, to be taken back and made again. A command holds what it
// needs to undo and redo itself through the same saves as the change itself; one that cannot
// be applied any more (another program changed the file meanwhile) says so and stays where it
// is on the stack.
class UndoStack : public QObject {
    Q_OBJECT
public:
    struct Command {
        QString text; // "Edit color", "Delete palette", ...
        std::function<bool()> undo;
        std::function<bool()> redo;
    };

    explicit UndoStack(QObject *parent = nullptr);

    // Records a change that has just been made; anything undone before it can no longer be
    // redone.
    void push(Command command);
    bool canUndo() const { return m_index > 0; }
    bool canRedo() const { return m_index < m_commands.size(); }
    QString undoText() const;
    QString redoText() const;
    bool undo();
    bool redo();
    void clear();

    // The stack of one palette's colour changes, shared by every window of that palette.
    static UndoStack *forPalette(const QString &palName);
    // The palette of that name is gone (deleted, renamed): its changes must not be applied to
    // another palette that takes the name later.
    static void forgetPalette(const QString &palName);
    // The stack of the popover: palettes created, renamed and deleted.
    static UndoStack *forPalettes();

signals:
    void changed();

private:
    QList<Command> m_commands;
    qsizetype m_index = 0; // commands before it are done
};
