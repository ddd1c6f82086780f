#pragma once

#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <functional>
#include <vector>

namespace kivo {

class UndoManager;

// Handed to a step's handler when the step is undone or redone. The handler's
// work may be asynchronous: registering the opposite step through this handle
// files it where it belongs (undo → redo stack; redo → undo stack, keeping the
// redo stack) even after the handler has returned.
class UndoInverse {
public:
    enum class Origin { undo, redo };

    Origin origin() const { return m_origin; }
    void registerStep(const QString& actionName, std::function<void(UndoInverse)> handler) const;

private:
    friend class UndoManager;
    UndoInverse(UndoManager* manager, Origin origin)
        : m_manager(manager)
        , m_origin(origin)
    {
    }
    QPointer<UndoManager> m_manager;
    Origin m_origin;
};

// The window's undo and redo stacks of named steps.
class UndoManager : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(UndoInverse)>;

    explicit UndoManager(QObject* parent = nullptr);

    // A fresh step: pushed on the undo stack, clearing the redo stack. Called
    // synchronously from inside an undo (or redo) handler, it is that step's
    // inverse and goes to the redo (or undo) stack instead.
    void registerUndo(const QString& actionName, Handler handler);

    bool canUndo() const;
    bool canRedo() const;
    QString undoActionName() const;
    QString redoActionName() const;
    // Menu titles: "Undo " + name ("Undo" alone for an unnamed step).
    QString undoMenuItemTitle() const;
    QString redoMenuItemTitle() const;

    // Pops and runs the top step; nothing while blocked or empty.
    void undo();
    void redo();

    // While any owner is busy, undo and redo are refused, so a step cannot be
    // consumed while the write it would revert is still running.
    void setBusy(const void* owner, bool busy);
    bool isBlocked() const { return !m_busyOwners.isEmpty(); }

    void removeAllSteps();

Q_SIGNALS:
    // Stacks, names or the blocked state changed.
    void stateChanged();

private:
    friend class UndoInverse;
    struct Step {
        QString actionName;
        Handler handler;
    };
    enum class Mode { normal, undoing, redoing };

    void push(std::vector<Step>& stack, Step step);
    void fileInverse(UndoInverse::Origin origin, Step step);
    void run(std::vector<Step>& from, Mode mode, UndoInverse::Origin origin);

    std::vector<Step> m_undoStack;
    std::vector<Step> m_redoStack;
    QSet<const void*> m_busyOwners;
    Mode m_mode = Mode::normal;
};

} // namespace kivo
