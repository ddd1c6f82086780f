#include "ui/songtable/TrackTableLayoutState.h"

#include "model/JsonCodec.h"
#include "platform/UndoManager.h"
#include "platform/UserDefaults.h"

#include <QPointer>
#include <QSet>
#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

TrackTableLayoutState::TrackTableLayoutState(
    std::shared_ptr<UserDefaults> defaults, QObject* parent)
    : QObject(parent)
    , m_defaults(std::move(defaults))
    , m_columns(defaultColumns())
{
    const std::optional<QByteArray> stored
        = m_defaults ? m_defaults->dataValue(defaultsKey) : std::nullopt;
    if (!stored) {
        return;
    }
    try {
        m_columns = normalizedColumns(decodeColumnLayout(*stored));
    } catch (const JsonCodingError&) {
        m_recoveryMessage = invalidLayoutMessage;
    }
}

void TrackTableLayoutState::setRecoveryMessage(const QString& message)
{
    if (message != m_recoveryMessage) {
        m_recoveryMessage = message;
        Q_EMIT recoveryMessageChanged(m_recoveryMessage);
    }
}

QList<TrackTableColumnID> TrackTableLayoutState::visibleColumnIDs() const
{
    QList<TrackTableColumnID> ids;
    ids.reserve(m_columns.size());
    for (const TrackTableColumnConfiguration& column : m_columns) {
        ids.push_back(column.id);
    }
    return ids;
}

bool TrackTableLayoutState::isVisible(TrackTableColumnID id) const
{
    return indexOf(id) >= 0;
}

double TrackTableLayoutState::totalWidth() const
{
    double total = fixedRowWidth;
    for (const TrackTableColumnConfiguration& column : m_columns) {
        total += column.width;
    }
    return total;
}

qsizetype TrackTableLayoutState::indexOf(TrackTableColumnID id) const
{
    for (qsizetype i = 0; i < m_columns.size(); ++i) {
        if (m_columns[i].id == id) {
            return i;
        }
    }
    return -1;
}

void TrackTableLayoutState::setColumnVisible(
    TrackTableColumnID id, bool visible, UndoManager* undoManager)
{
    TrackTableColumnLayout next = m_columns;
    const qsizetype index = indexOf(id);
    if (visible) {
        if (index >= 0) {
            return;
        }
        qsizetype insertAt = next.size();
        for (qsizetype i = 0; i < next.size(); ++i) {
            if (int(next[i].id) > int(id)) {
                insertAt = i;
                break;
            }
        }
        next.insert(insertAt, freshColumn(id));
        applyColumns(next, u"Show Song Column"_s, undoManager);
    } else {
        if (index < 0) {
            return;
        }
        next.removeAt(index);
        applyColumns(next, u"Remove Song Column"_s, undoManager);
    }
}

void TrackTableLayoutState::toggleCollapsed(TrackTableColumnID id, UndoManager* undoManager)
{
    const qsizetype index = indexOf(id);
    if (index < 0) {
        return;
    }
    TrackTableColumnLayout next = m_columns;
    TrackTableColumnConfiguration& column = next[index];
    if (column.isCollapsed) {
        column.isCollapsed = false;
        column.width = clampedWidth(column.expandedWidth, id);
    } else {
        column.expandedWidth = clampedWidth(column.width, id);
        column.width = collapsedColumnWidth;
        column.isCollapsed = true;
    }
    applyColumns(next, u"Toggle Song Column"_s, undoManager);
}

void TrackTableLayoutState::resetWidth(TrackTableColumnID id, UndoManager* undoManager)
{
    const qsizetype index = indexOf(id);
    if (index < 0) {
        return;
    }
    TrackTableColumnLayout next = m_columns;
    next[index] = freshColumn(id);
    applyColumns(next, u"Reset Song Column Width"_s, undoManager);
}

void TrackTableLayoutState::moveColumn(
    TrackTableColumnID moved, TrackTableColumnID target, UndoManager* undoManager)
{
    if (moved == target) {
        return;
    }
    const qsizetype from = indexOf(moved);
    const qsizetype to = indexOf(target);
    if (from < 0 || to < 0) {
        return;
    }
    TrackTableColumnLayout next = m_columns;
    const TrackTableColumnConfiguration column = next.takeAt(from);
    next.insert(to, column);
    applyColumns(next, u"Reorder Song Columns"_s, undoManager);
}

void TrackTableLayoutState::setWidth(double width, TrackTableColumnID id)
{
    const qsizetype index = indexOf(id);
    if (index < 0) {
        return;
    }
    const double clamped = clampedWidth(width, id);
    TrackTableColumnConfiguration& column = m_columns[index];
    column.width = clamped;
    column.expandedWidth = clamped;
    column.isCollapsed = false;
    saveColumns();
    Q_EMIT columnsChanged(m_columns);
}

void TrackTableLayoutState::registerUndo(
    const TrackTableColumnLayout& previous, const QString& actionName, UndoManager* undoManager)
{
    if (undoManager && previous != m_columns) {
        registerStep(previous, actionName, undoManager);
    }
}

void TrackTableLayoutState::applyColumns(
    const TrackTableColumnLayout& columns, const QString& actionName, UndoManager* undoManager)
{
    TrackTableColumnLayout next = normalizedColumns(columns);
    if (next == m_columns) {
        return;
    }
    TrackTableColumnLayout previous = std::exchange(m_columns, std::move(next));
    saveColumns();
    Q_EMIT columnsChanged(m_columns);
    if (undoManager) {
        registerStep(previous, actionName, undoManager);
    }
}

void TrackTableLayoutState::registerStep(
    const TrackTableColumnLayout& previous, const QString& actionName, UndoManager* undoManager)
{
    // Undoing commits the previous layout through applyColumns, which files
    // the opposite step as the redo step under the same name.
    undoManager->registerUndo(actionName,
        [self = QPointer(this), previous, actionName, manager = QPointer(undoManager)](
            UndoInverse) {
            if (self) {
                self->applyColumns(previous, actionName, manager.data());
            }
        });
}

void TrackTableLayoutState::saveColumns()
{
    QString problem;
    try {
        const QByteArray bytes = encodeColumnLayout(m_columns);
        if (m_defaults && m_defaults->setValue(defaultsKey, bytes)) {
            return;
        }
        problem = u"The settings file could not be written."_s;
    } catch (const JsonCodingError& error) {
        problem = error.description();
    }
    setRecoveryMessage(saveFailurePrefix + problem);
}

const TrackTableColumnLayout& TrackTableLayoutState::defaultColumns()
{
    static const TrackTableColumnLayout columns = [] {
        TrackTableColumnLayout list;
        for (const TrackTableColumnID id : allTrackTableColumnIDs()) {
            list.push_back(freshColumn(id));
        }
        return list;
    }();
    return columns;
}

double TrackTableLayoutState::clampedWidth(double width, TrackTableColumnID id)
{
    const TrackTableColumnWidths limits = widthLimits(id);
    if (!std::isfinite(width)) {
        return limits.defaultWidth;
    }
    return std::min(std::max(width, limits.minimum), limits.maximum);
}

TrackTableColumnLayout TrackTableLayoutState::normalizedColumns(
    const TrackTableColumnLayout& columns)
{
    TrackTableColumnLayout result;
    result.reserve(columns.size());
    QSet<int> seen;
    for (const TrackTableColumnConfiguration& column : columns) {
        if (seen.contains(int(column.id))) {
            continue;
        }
        seen.insert(int(column.id));
        result.push_back({ column.id,
            column.isCollapsed ? collapsedColumnWidth : clampedWidth(column.width, column.id),
            clampedWidth(column.expandedWidth, column.id), column.isCollapsed });
    }
    return result;
}

TrackTableColumnConfiguration TrackTableLayoutState::freshColumn(TrackTableColumnID id)
{
    const double width = widthLimits(id).defaultWidth;
    return { id, width, width, false };
}

} // namespace kivo
