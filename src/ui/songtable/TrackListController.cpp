#include "ui/songtable/TrackListController.h"

#include "engines/playback/AudioEngine.h"
#include "engines/playback/QueueEngine.h"
#include "model/RunOnWorker.h"
#include "ui/eon/KeyModifiers.h"
#include "ui/songtable/TrackListSelectionCommands.h"
#include "ui/songtable/TrackTableModel.h"

#include <QtConcurrent/qtconcurrenttask.h>
#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

TrackListController::TrackListController(
    TrackListDependencies dependencies, QObject* parent, int backgroundThreshold)
    : QObject(parent)
    , m_deps(std::move(dependencies))
    , m_model(new TrackTableModel(this))
    , m_commandTarget(new TrackListSelectionCommandTarget(this))
    , m_editing(new TrackListEditing(*this))
    , m_actions(new TrackListSongActions(*this))
    , m_removal(new TrackListRemoval(*this))
    , m_backgroundThreshold(backgroundThreshold)
{
    connect(m_commandTarget, &TrackListSelectionCommandTarget::commandSent, this,
        &TrackListController::handleCommand);
    connect(&m_deps.audio, &AudioEngine::currentTrackChanged, this,
        &TrackListController::updateCurrentTrack);
    connect(&m_deps.audio, &AudioEngine::playbackStateChanged, this,
        &TrackListController::updateCurrentTrack);
    connect(m_editing, &TrackListEditing::editingTrackChanged, this,
        &TrackListController::editingTrackChanged);
    connect(m_editing, &TrackListEditing::editorErrorChanged, this,
        &TrackListController::editorErrorChanged);
    connect(
        m_removal, &TrackListRemoval::overlaysChanged, this, &TrackListController::overlaysChanged);
    connect(
        m_editing, &TrackListEditing::overlaysChanged, this, &TrackListController::overlaysChanged);
    connect(m_actions, &TrackListSongActions::alertChanged, this,
        &TrackListController::overlaysChanged);
    updateCurrentTrack();
}

// The collaborators keep what must outlive the screen (undo steps, a running
// removal or shared save) themselves.
TrackListController::~TrackListController() = default;

void TrackListController::setTitle(const QString& title)
{
    if (m_title != title) {
        m_title = title;
        Q_EMIT titleChanged(m_title);
    }
}

void TrackListController::setTracks(QList<Track> tracks)
{
    // Read-only access: both lists are usually shared with the library's, and
    // a writable one would copy every song.
    bool sameIDs = tracks.size() == m_tracks.size();
    for (qsizetype i = 0; sameIDs && i < tracks.size(); ++i) {
        sameIDs = tracks.at(i).id == m_tracks.at(i).id;
    }
    m_tracks = std::move(tracks);
    m_model->setTracks(m_tracks);
    // Nothing selected and no anchor: nothing to prune (a new screen's first list).
    const bool nothingToPrune = m_selection.selectedIDs().isEmpty() && !m_selection.anchorID();
    if (!sameIDs && !nothingToPrune) {
        QSet<QUuid> visible;
        visible.reserve(m_tracks.size());
        for (const Track& track : std::as_const(m_tracks)) {
            visible.insert(track.id);
        }
        TrackSelectionState pruned = m_selection;
        pruned.retainVisible(visible);
        // Not a newer selection: a select-all being gathered goes on, over
        // the new list.
        const quint64 pending = m_selectionRequest;
        storeSelection(std::move(pruned));
        m_selectionRequest = pending;
    }
    updateCommandCounts();
    Q_EMIT tracksChanged(m_tracks);
}

void TrackListController::setEmptyState(TrackListEmptyState emptyState)
{
    if (!(m_emptyState == emptyState)) {
        m_emptyState = std::move(emptyState);
        Q_EMIT emptyStateChanged(m_emptyState);
    }
}

void TrackListController::setOnTracksChanged(std::function<void()> onTracksChanged)
{
    m_onTracksChanged = std::move(onTracksChanged);
}

void TrackListController::setSelectedTrackBinding(
    std::function<std::optional<Track>()> get, std::function<void(std::optional<Track>)> set)
{
    m_getSelectedTrack = std::move(get);
    m_setSelectedTrack = std::move(set);
}

void TrackListController::setInspectorVisibleBinding(
    std::function<bool()> get, std::function<void(bool)> set)
{
    m_getInspectorVisible = std::move(get);
    m_setInspectorVisible = std::move(set);
}

const TrackSortOrder& TrackListController::sortOrder() const
{
    return m_model->sortOrder();
}

void TrackListController::setSortOrder(const TrackSortOrder& order)
{
    m_model->setSortOrder(order);
}

QList<Track> TrackListController::sortedTracks() const
{
    QList<Track> sorted;
    const int rows = m_model->rowCount();
    sorted.reserve(rows);
    for (int row = 0; row < rows; ++row) {
        sorted.push_back(m_model->track(row));
    }
    return sorted;
}

QList<Track> TrackListController::selectedTracks() const
{
    QList<Track> selected;
    if (m_selection.selectedIDs().isEmpty()) {
        return selected;
    }
    QSet<QUuid> seen;
    const QList<QUuid>& ids = m_model->orderedIDs();
    for (qsizetype row = 0; row < ids.size(); ++row) {
        // A song listed twice is one selected song.
        if (m_selection.isSelected(ids[row]) && !seen.contains(ids[row])) {
            seen.insert(ids[row]);
            selected.push_back(m_model->track(int(row)));
        }
    }
    return selected;
}

// MARK: selected song and inspector

std::optional<Track> TrackListController::selectedTrack() const
{
    return m_getSelectedTrack ? m_getSelectedTrack() : m_ownSelectedTrack;
}

void TrackListController::setSelectedTrack(std::optional<Track> track)
{
    if (m_setSelectedTrack) {
        m_setSelectedTrack(std::move(track));
    } else {
        m_ownSelectedTrack = std::move(track);
    }
}

void TrackListController::showInspector()
{
    if (m_setInspectorVisible) {
        m_setInspectorVisible(true);
    } else {
        m_ownInspectorVisible = true;
    }
}

void TrackListController::storeSelection(TrackSelectionState selection)
{
    const bool changed = !(selection == m_selection);
    storeSelection(std::move(selection), changed);
}

void TrackListController::storeSelection(TrackSelectionState selection, bool changed)
{
    // A select-all still being gathered gives way to this one.
    ++m_selectionRequest;
    // The lead may move while the selection stays.
    m_selection = std::move(selection);
    if (!changed) {
        return;
    }
    m_model->setSelectedIDs(m_selection.selectedIDs());
    updateCommandCounts();
    Q_EMIT selectionChanged();
}

void TrackListController::updateCommandCounts()
{
    m_commandTarget->update(int(m_tracks.size()), int(m_selection.selectedIDs().size()));
}

void TrackListController::updateCurrentTrack()
{
    const std::optional<Track> current = m_deps.audio.currentTrack();
    m_model->setCurrentTrack(current ? std::optional(current->id) : std::nullopt,
        m_deps.audio.playbackState() == PlaybackState::playing);
}

// MARK: clicks and commands

void TrackListController::select(const Track& track, Qt::KeyboardModifiers modifiers)
{
    // The design's Control and Option do not change a click.
    selectAt(-1, track, selectionModeFor(modifiers & ~keys::control));
}

int TrackListController::moveSelection(TrackListKeyMove move, bool extend, int pageRows)
{
    const int rows = m_model->rowCount();
    if (rows == 0) {
        return -1;
    }
    const int lead = leadRow();
    const int step = std::max(pageRows, 1);
    const auto from = [lead, rows](bool forward) { return lead >= 0 ? lead : forward ? -1 : rows; };
    int target = 0;
    switch (move) {
    case TrackListKeyMove::up:
        target = from(false) - 1;
        break;
    case TrackListKeyMove::down:
        target = from(true) + 1;
        break;
    case TrackListKeyMove::pageUp:
        target = from(false) - step;
        break;
    case TrackListKeyMove::pageDown:
        target = from(true) + step;
        break;
    case TrackListKeyMove::home:
        target = 0;
        break;
    case TrackListKeyMove::end:
        target = rows - 1;
        break;
    }
    target = std::clamp(target, 0, rows - 1);
    selectAt(target, m_model->track(target),
        extend ? TrackSelectionMode::range : TrackSelectionMode::single);
    return target;
}

int TrackListController::leadRow() const
{
    return int(m_selection.leadRow(m_model->orderedIDs()));
}

void TrackListController::selectRow(int row)
{
    if (row >= 0 && row < m_model->rowCount()) {
        selectAt(row, m_model->track(row), TrackSelectionMode::single);
    }
}

void TrackListController::selectAt(int row, const Track& track, TrackSelectionMode mode)
{
    TrackSelectionState next = m_selection;
    if (row >= 0) {
        next.select(row, m_model->orderedIDs(), mode);
    } else {
        next.select(track.id, m_model->orderedIDs(), mode);
    }
    storeSelection(std::move(next));
    if (m_selection.isSelected(track.id)) {
        setSelectedTrack(track);
        showInspector();
    } else {
        const QList<Track> selected = selectedTracks();
        setSelectedTrack(selected.isEmpty() ? std::nullopt : std::optional(selected.last()));
    }
}

void TrackListController::selectAndPlay(const Track& track)
{
    selectOnly(track.id);
    play(track);
}

void TrackListController::play(const Track& track)
{
    setSelectedTrack(track);
    showInspector();
    const qsizetype index = m_model->orderedIDs().indexOf(track.id);
    if (index < 0) {
        m_deps.queue.playNow({ track }, 0);
        return;
    }
    if (m_model->rowCount() < m_backgroundThreshold) {
        m_deps.queue.playNow(sortedTracks(), index);
        return;
    }
    // A long list goes by id, in the order shown now: a copy of its songs
    // would stall the window and hold a second library until it is freed.
    m_deps.queue.playNowByID(m_model->orderedIDs(), index);
}

void TrackListController::togglePlayback(const Track& track)
{
    const std::optional<Track> current = m_deps.audio.currentTrack();
    if (current && current->id == track.id
        && m_deps.audio.playbackState() == PlaybackState::playing) {
        m_deps.audio.pause();
        return;
    }
    play(track);
}

void TrackListController::selectAll()
{
    const QList<QUuid>& ids = m_model->orderedIDs();
    if (ids.isEmpty()) {
        return;
    }
    if (ids.size() < m_backgroundThreshold) {
        TrackSelectionState next = m_selection;
        next.selectAll(ids);
        const bool changed = !(next == m_selection);
        adoptSelectAll(std::move(next), changed);
        return;
    }
    // Gathering a large list's ids into a set would stall the window: a
    // worker does it from the rows as shown now. Any selection made
    // meanwhile is newer and wins; a list changed meanwhile is selected again.
    struct Selected {
        TrackSelectionState next;
        bool changed = false;
    };
    const quint64 request = m_selectionRequest;
    continueOnMain(QtConcurrent::task([ids, current = m_selection] {
        auto selected = std::make_shared<Selected>(Selected { current, false });
        selected->next.selectAll(ids);
        selected->changed = !(selected->next == current);
        return selected;
    }).spawn(),
        this, [this, request, ids](std::shared_ptr<Selected> selected) {
            if (request != m_selectionRequest) {
                return;
            }
            if (!m_model->orderedIDs().isSharedWith(ids)) {
                selectAll();
                return;
            }
            adoptSelectAll(std::move(selected->next), selected->changed);
        });
}

void TrackListController::adoptSelectAll(TrackSelectionState next, bool changed)
{
    storeSelection(std::move(next), changed);
    const std::optional<Track> selected = selectedTrack();
    if (!selected || !m_selection.isSelected(selected->id)) {
        setSelectedTrack(m_model->track(0));
    }
    showInspector();
}

void TrackListController::deselectAll()
{
    storeSelection(TrackSelectionState());
    setSelectedTrack(std::nullopt);
}

void TrackListController::editSelection()
{
    const QList<Track> selected = selectedTracks();
    if (!selected.isEmpty()) {
        edit(selected.first());
    }
}

void TrackListController::handleCommand(TrackListSelectionCommand command)
{
    switch (command) {
    case TrackListSelectionCommand::selectAll:
        selectAll();
        break;
    case TrackListSelectionCommand::deselectAll:
        deselectAll();
        break;
    case TrackListSelectionCommand::editSelection:
        editSelection();
        break;
    }
}

// MARK: for the collaborators

TrackListController::Wait TrackListController::beginWait() const
{
    const std::optional<Track> selected = selectedTrack();
    return { const_cast<TrackListController*>(this),
        selected ? std::optional(selected->id) : std::nullopt };
}

bool TrackListController::stillShowing(const Wait& wait)
{
    if (!wait.screen) {
        return false;
    }
    const std::optional<Track> selected = wait.screen->selectedTrack();
    return (selected ? std::optional(selected->id) : std::nullopt) == wait.selectedID;
}

void TrackListController::selectOnly(const QUuid& id)
{
    TrackSelectionState only;
    only.select(id, m_model->orderedIDs(), TrackSelectionMode::single);
    storeSelection(std::move(only));
}

void TrackListController::deselect(const QUuid& id)
{
    TrackSelectionState next = m_selection;
    next.deselect(id);
    storeSelection(std::move(next));
}

void TrackListController::tracksWereChanged()
{
    if (m_onTracksChanged) {
        m_onTracksChanged();
    }
}

} // namespace kivo
