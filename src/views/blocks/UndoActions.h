#pragma once

#include <functional>

class QMenu;
class QWidget;
class UndoStack;

// The undo and redo entries of context menus and the keys that do the same.
class UndoActions {
public:
    UndoActions() = delete;

    // Appends "Undo <what>" and "Redo <what>" (disabled when there is nothing to take back or
    // make again).
    static void addTo(QMenu *menu, UndoStack *stack);
    // Ctrl+Z undoes, Ctrl+Shift+Z and Ctrl+Y redo, while focus is anywhere in window. stack is
    // asked each time: a window's palette can change its name.
    static void installShortcuts(QWidget *window, std::function<UndoStack *()> stack);
};
