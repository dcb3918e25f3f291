#include "store/UndoStack.h"

#include <QHash>

namespace {
// A run's history should not grow without end.
constexpr qsizetype maxCommands = 200;
} // namespace

UndoStack::UndoStack(QObject *parent)
    : QObject(parent) {
}

void UndoStack::push(Command command) {
    m_commands.resize(m_index);
    m_commands.append(std::move(command));
    if (m_commands.size() > maxCommands)
        m_commands.removeFirst();
    m_index = m_commands.size();
    emit changed();
}

QString UndoStack::undoText() const {
    return canUndo() ? m_commands.at(m_index - 1).text : QString();
}

QString UndoStack::redoText() const {
    return canRedo() ? m_commands.at(m_index).text : QString();
}

bool UndoStack::undo() {
    if (!canUndo() || !m_commands.at(m_index - 1).undo())
        return false;
    --m_index;
    emit changed();
    return true;
}

bool UndoStack::redo() {
    if (!canRedo() || !m_commands.at(m_index).redo())
        return false;
    ++m_index;
    emit changed();
    return true;
}

void UndoStack::clear() {
    m_commands.clear();
    m_index = 0;
    emit changed();
}

namespace {
QHash<QString, UndoStack *> &paletteStacks() {
    static QHash<QString, UndoStack *> stacks;
    return stacks;
}
} // namespace

UndoStack *UndoStack::forPalette(const QString &palName) {
    UndoStack *&stack = paletteStacks()[palName];
    if (!stack)
        stack = new UndoStack;
    return stack;
}

void UndoStack::forgetPalette(const QString &palName) {
    if (UndoStack *stack = paletteStacks().value(palName))
        stack->clear();
}

UndoStack *UndoStack::forPalettes() {
    static UndoStack *stack = new UndoStack;
    return stack;
}
