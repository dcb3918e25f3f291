#include "views/blocks/UndoActions.h"

#include "store/UndoStack.h"

#include <QCoreApplication>
#include <QMenu>
#include <QShortcut>

void UndoActions::addTo(QMenu *menu, UndoStack *stack) {
    QAction *undo = menu->addAction(
        stack->canUndo()
            ? QCoreApplication::translate("UndoActions", "Undo %1").arg(stack->undoText())
            : QCoreApplication::translate("UndoActions", "Undo"));
    undo->setEnabled(stack->canUndo());
    QObject::connect(undo, &QAction::triggered, stack, [stack] { stack->undo(); });
    QAction *redo = menu->addAction(
        stack->canRedo()
            ? QCoreApplication::translate("UndoActions", "Redo %1").arg(stack->redoText())
            : QCoreApplication::translate("UndoActions", "Redo"));
    redo->setEnabled(stack->canRedo());
    QObject::connect(redo, &QAction::triggered, stack, [stack] { stack->redo(); });
}

void UndoActions::installShortcuts(QWidget *window, std::function<UndoStack *()> stack) {
    const auto bind = [window, stack](const QKeySequence &keys, bool redo) {
        auto *shortcut = new QShortcut(keys, window);
        shortcut->setContext(Qt::WindowShortcut);
        QObject::connect(shortcut, &QShortcut::activated, window, [stack, redo] {
            if (UndoStack *s = stack())
                redo ? s->redo() : s->undo();
        });
    };
    bind(QKeySequence(Qt::CTRL | Qt::Key_Z), false);
    bind(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), true);
    bind(QKeySequence(Qt::CTRL | Qt::Key_Y), true);
}
