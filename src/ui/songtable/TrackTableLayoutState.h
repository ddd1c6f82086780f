#pragma once

#include "ui/songtable/TrackTableColumnConfiguration.h"

#include <QObject>
#include <QString>
#include <memory>

namespace kivo {

class UndoManager;
class UserDefaults;

// The one column layout of every song table in the program (and of the
// settings sheet): which columns show, in which order, how wide, which are
// collapsed. Loaded once from the user defaults; every change is saved whole
// at once. User-level changes are undoable through the window's undo manager
// under a named action; a change that leaves the layout as it was saves and
// registers nothing. Every operation accepts a null undo manager (the change is
// then made without an undo step). Main thread only.
class TrackTableLayoutState : public QObject {
    Q_OBJECT
public:
    static inline const QString defaultsKey = QStringLiteral("trackTable.columnLayout.v1");
    static inline const QString invalidLayoutMessage
        = QStringLiteral("The saved song-column layout was invalid and has been restored.");
    static inline const QString saveFailurePrefix
        = QStringLiteral("The song-column layout could not be saved: ");
    // Fixed width of every row besides its columns: leading cell 36, trailing
    // cell 64 and 16 of padding at each end.
    static constexpr double fixedRowWidth = 132;

    // An unreadable stored layout gives the default one and the invalid-layout
    // message; the stored bytes stay as they are until the next change.
    explicit TrackTableLayoutState(
        std::shared_ptr<UserDefaults> defaults, QObject* parent = nullptr);

    // Always normalised; a column that is absent is hidden.
    const TrackTableColumnLayout& columns() const { return m_columns; }
    // The last load or save problem; empty when there is none.
    const QString& recoveryMessage() const { return m_recoveryMessage; }
    // Callers dismiss the message by setting it empty.
    void setRecoveryMessage(const QString& message);

    QList<TrackTableColumnID> visibleColumnIDs() const;
    bool isVisible(TrackTableColumnID id) const;
    // Sum of the column widths plus the fixed row width.
    double totalWidth() const;
    bool isDefaultLayout() const { return m_columns == defaultColumns(); }

    // Show inserts a fresh column before the first shown column that comes
    // later in the default order ("Show Song Column"); hide removes it
    // ("Remove Song Column"), the last column included.
    void setColumnVisible(TrackTableColumnID id, bool visible, UndoManager* undoManager);
    // Collapses to 48, remembering the width; expanding restores it ("Toggle Song Column").
    void toggleCollapsed(TrackTableColumnID id, UndoManager* undoManager);
    // The default width, expanded ("Reset Song Column Width").
    void resetWidth(TrackTableColumnID id, UndoManager* undoManager);
    // The moved column takes the target's index: after it when moved
    // rightwards, before it when moved leftwards ("Reorder Song Columns").
    void moveColumn(TrackTableColumnID moved, TrackTableColumnID target, UndoManager* undoManager);
    // One live step of a width drag: clamps, expands, saves; no undo.
    void setWidth(double width, TrackTableColumnID id);
    // The end of a width drag: one step restoring `previous` when the layout
    // differs from it; changes and saves nothing itself.
    void registerUndo(const TrackTableColumnLayout& previous, const QString& actionName,
        UndoManager* undoManager);
    // The common commit: normalise, compare, publish, save, register the step
    // (which commits the previous layout the same way, so undo and redo carry
    // the same name). "Restore Song Columns" passes defaultColumns().
    void applyColumns(
        const TrackTableColumnLayout& columns, const QString& actionName, UndoManager* undoManager);
    void saveColumns();

    static const TrackTableColumnLayout& defaultColumns();
    // Within the column's limits; a non-finite width gives the default width.
    static double clampedWidth(double width, TrackTableColumnID id);
    // First occurrence of each column wins; widths clamped, collapsed ones 48.
    // Never adds or reorders columns.
    static TrackTableColumnLayout normalizedColumns(const TrackTableColumnLayout& columns);
    // The record of a column shown again or reset: default width, expanded.
    static TrackTableColumnConfiguration freshColumn(TrackTableColumnID id);

Q_SIGNALS:
    void columnsChanged(const kivo::TrackTableColumnLayout& columns);
    void recoveryMessageChanged(const QString& message);

private:
    qsizetype indexOf(TrackTableColumnID id) const;
    void registerStep(const TrackTableColumnLayout& previous, const QString& actionName,
        UndoManager* undoManager);

    std::shared_ptr<UserDefaults> m_defaults;
    TrackTableColumnLayout m_columns;
    QString m_recoveryMessage;
};

} // namespace kivo
