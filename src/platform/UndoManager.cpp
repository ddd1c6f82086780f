#include "platform/UndoManager.h"

using namespace Qt::Literals::StringLiterals;

namespace kivo {

void UndoInverse::registerStep(
    const QString& actionName, std::function<void(UndoInverse)> handler) const
{
    if (m_manager) {
        m_manager->fileInverse(m_origin, { actionName, std::move(handler) });
    }
}

UndoManager::UndoManager(QObject* parent)
    : QObject(parent)
{
}

void UndoManager::push(std::vector<Step>& stack, Step step)
{
    stack.push_back(std::move(step));
    Q_EMIT stateChanged();
}

void UndoManager::registerUndo(const QString& actionName, Handler handler)
{
    switch (m_mode) {
    case Mode::undoing:
        fileInverse(UndoInverse::Origin::undo, { actionName, std::move(handler) });
        return;
    case Mode::redoing:
        fileInverse(UndoInverse::Origin::redo, { actionName, std::move(handler) });
        return;
    case Mode::normal:
        m_redoStack.clear();
        push(m_undoStack, { actionName, std::move(handler) });
        return;
    }
}

void UndoManager::fileInverse(UndoInverse::Origin origin, Step step)
{
    push(origin == UndoInverse::Origin::undo ? m_redoStack : m_undoStack, std::move(step));
}

bool UndoManager::canUndo() const
{
    return !isBlocked() && !m_undoStack.empty();
}

bool UndoManager::canRedo() const
{
    return !isBlocked() && !m_redoStack.empty();
}

QString UndoManager::undoActionName() const
{
    return m_undoStack.empty() ? QString() : m_undoStack.back().actionName;
}

QString UndoManager::redoActionName() const
{
    return m_redoStack.empty() ? QString() : m_redoStack.back().actionName;
}

QString UndoManager::undoMenuItemTitle() const
{
    const QString name = undoActionName();
    return name.isEmpty() ? u"Undo"_s : u"Undo "_s + name;
}

QString UndoManager::redoMenuItemTitle() const
{
    const QString name = redoActionName();
    return name.isEmpty() ? u"Redo"_s : u"Redo "_s + name;
}

void UndoManager::run(std::vector<Step>& from, Mode mode, UndoInverse::Origin origin)
{
    if (isBlocked() || from.empty() || m_mode != Mode::normal) {
        return;
    }
    Step step = std::move(from.back());
    from.pop_back();
    Q_EMIT stateChanged();
    m_mode = mode;
    try {
        step.handler(UndoInverse(this, origin));
    } catch (...) {
        m_mode = Mode::normal;
        throw;
    }
    m_mode = Mode::normal;
}

void UndoManager::undo()
{
    run(m_undoStack, Mode::undoing, UndoInverse::Origin::undo);
}

void UndoManager::redo()
{
    run(m_redoStack, Mode::redoing, UndoInverse::Origin::redo);
}

void UndoManager::setBusy(const void* owner, bool busy)
{
    const bool wasBlocked = isBlocked();
    if (busy) {
        m_busyOwners.insert(owner);
    } else {
        m_busyOwners.remove(owner);
    }
    if (wasBlocked != isBlocked()) {
        Q_EMIT stateChanged();
    }
}

void UndoManager::removeAllSteps()
{
    m_undoStack.clear();
    m_redoStack.clear();
    Q_EMIT stateChanged();
}

} // namespace kivo
