#include "ui/songtable/TrackListView.h"

#include "engines/artwork/TrackMetadataBatchCoordinator.h"
#include "engines/library/LibraryEngine.h"
#include "ui/eon/EonPalette.h"
#include "ui/songtable/TrackListHeaderView.h"
#include "ui/songtable/TrackListOverlaysModifier.h"
#include "ui/songtable/TrackListSelectionCommands.h"
#include "ui/songtable/TrackListShortcutMonitor.h"
#include "ui/songtable/TrackListTableView.h"
#include "ui/songtable/TrackTableModel.h"

#include <QPainter>
#include <QStackedLayout>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

TrackListView::TrackListView(TrackListDependencies dependencies, QWidget* parent)
    : QWidget(parent)
    , m_controller(new TrackListController(dependencies, this))
    , m_header(new TrackListHeaderView(this))
    , m_body(new QWidget(this))
    , m_pages(new QStackedLayout(m_body))
    , m_table(new TrackListTableView(
          dependencies.layout, &m_controller->model(), &dependencies.undoManager, m_body))
    , m_empty(new TrackListEmptyStateView(m_body))
    , m_shortcuts(new TrackListShortcutMonitor(this))
    , m_overlays(new TrackListOverlaysModifier(*m_controller, this))
{
    setObjectName(u"trackListView"_s);
    auto* hairline = new QWidget(this);
    hairline->setFixedHeight(1);
    hairline->setAutoFillBackground(true);
    QPalette palette = hairline->palette();
    palette.setColor(QPalette::Window, eonHairline());
    hairline->setPalette(palette);

    // A plain holder, not a stacked widget: a screen reader entering the table
    // would otherwise hear an unnamed "layered pane" first.
    m_pages->setContentsMargins(0, 0, 0, 0);
    m_pages->addWidget(m_table);
    m_pages->addWidget(m_empty);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(m_header);
    column->addWidget(hairline);
    column->addWidget(m_body, 1);

    TrackListController* controller = m_controller;
    const TrackTableModel* model = &controller->model();
    // Rows are positions in the model's display order.
    auto byRow = [controller, model](void (TrackListController::*operation)(const Track&)) {
        return [controller, model, operation](int row) {
            if (row >= 0 && row < model->rowCount()) {
                (controller->*operation)(model->track(row));
            }
        };
    };
    TrackListTableCallbacks callbacks;
    callbacks.onTogglePlayback = byRow(&TrackListController::togglePlayback);
    callbacks.onSelect = [controller, model](int row, Qt::KeyboardModifiers modifiers) {
        if (row >= 0 && row < model->rowCount()) {
            controller->select(model->track(row), modifiers);
        }
    };
    callbacks.onDoubleClick = byRow(&TrackListController::selectAndPlay);
    callbacks.onEdit = byRow(&TrackListController::edit);
    callbacks.onPlay = byRow(&TrackListController::play);
    callbacks.onToggleFavorite = byRow(&TrackListController::toggleFavorite);
    callbacks.onChooseArtwork = byRow(&TrackListController::chooseArtwork);
    callbacks.onRemoveArtwork = byRow(&TrackListController::removeArtwork);
    callbacks.onRevealInFileManager = byRow(&TrackListController::revealInFileManager);
    callbacks.onRemoveFromPlayer = [controller, model](int row) {
        if (row >= 0 && row < model->rowCount()) {
            controller->remove(model->track(row), false);
        }
    };
    callbacks.onRequestPermanentDeletion = byRow(&TrackListController::requestPermanentDeletion);
    callbacks.metadataSelectionCount = [controller, model](int row) -> qint64 {
        return row >= 0 && row < model->rowCount()
            ? controller->metadataSelectionCount(model->track(row))
            : 1;
    };
    callbacks.isRemovalInFlight = [controller, model](int row) {
        return row >= 0 && row < model->rowCount()
            && controller->isRemovalInFlight(model->track(row));
    };
    callbacks.onMoveSelection = [controller](TrackListKeyMove move, bool extend, int pageRows) {
        return controller->moveSelection(move, extend, pageRows);
    };
    callbacks.onTypeSelect = [controller](int row) { controller->selectRow(row); };
    callbacks.leadRow = [controller] { return controller->leadRow(); };
    m_table->setCallbacks(std::move(callbacks));
    m_header->setOnEditSelection([controller] { controller->editSelection(); });

    connect(
        controller, &TrackListController::titleChanged, m_header, &TrackListHeaderView::setTitle);
    connect(controller, &TrackListController::tracksChanged, this, [this] {
        refreshHeader();
        refreshBody();
        refreshShortcuts();
    });
    connect(controller, &TrackListController::emptyStateChanged, this, &TrackListView::refreshBody);
    connect(&dependencies.library, &LibraryEngine::loadStateChanged, this, [this] {
        refreshHeader();
        refreshBody();
    });
    connect(controller, &TrackListController::selectionChanged, this, [this] {
        refreshHeader();
        refreshShortcuts();
    });
    connect(controller, &TrackListController::editingTrackChanged, this,
        &TrackListView::refreshShortcuts);
    connect(&controller->batchCoordinator(), &TrackMetadataBatchCoordinator::batchChanged, this,
        &TrackListView::refreshShortcuts);
    m_header->setTitle(controller->title());
    refreshHeader();
    refreshBody();
    refreshShortcuts();
}

TrackListView::~TrackListView()
{
    // The sheets and the table go before the controller that owns their model.
    delete m_overlays;
    delete m_body;
}

void TrackListView::setHeaderActions(const QList<QWidget*>& actions)
{
    m_header->setActions(actions);
}

bool TrackListView::isShowingTable() const
{
    return m_pages->currentWidget() == m_table;
}

void TrackListView::refreshHeader()
{
    // Until the library is read, an empty list says nothing about its songs.
    const bool known = m_controller->dependencies().library.loadState() == LibraryLoadState::loaded;
    m_header->setCounts(known ? std::optional(m_controller->tracks().size()) : std::nullopt,
        m_controller->selectionCount());
}

void TrackListView::refreshBody()
{
    // The choice follows the list handed in, not what the table has ordered yet.
    // While the library is read the table stays: it says nothing false, and it
    // is there to take the window's first focus.
    const TrackListEmptyState& empty = m_controller->emptyState();
    m_empty->setEmptyState(empty.systemImage, empty.title, empty.subtitle);
    const bool loading
        = m_controller->dependencies().library.loadState() == LibraryLoadState::loading;
    m_pages->setCurrentWidget(
        m_controller->tracks().isEmpty() && !loading ? static_cast<QWidget*>(m_empty) : m_table);
}

void TrackListView::refreshShortcuts()
{
    TrackListController* controller = m_controller;
    TrackListShortcutMonitor::Configuration configuration;
    configuration.isEnabled = controller->shortcutsEnabled();
    configuration.canSelect = !controller->tracks().isEmpty();
    configuration.canDeselect = controller->selectionCount() > 0;
    configuration.canEdit = configuration.canDeselect;
    configuration.selectAll = [controller] { controller->selectAll(); };
    configuration.deselectAll = [controller] { controller->deselectAll(); };
    configuration.editSelection = [controller] { controller->editSelection(); };
    m_shortcuts->setConfiguration(std::move(configuration));
}

void TrackListView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), eonWindowGradient().toLinearGradient(layoutDirection()));
}

} // namespace kivo
