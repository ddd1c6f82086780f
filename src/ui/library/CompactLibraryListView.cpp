#include "ui/library/CompactLibraryListView.h"

#include "ui/editing/EditingStyle.h"
#include "ui/eon/EonPalette.h"
#include "ui/library/CompactLibraryListDelegate.h"
#include "ui/library/CompactLibraryListHeader.h"
#include "ui/library/CompactLibraryListPresenter.h"

#include <QListView>
#include <QPainter>
#include <QVBoxLayout>

namespace kivo {

CompactLibraryListView::CompactLibraryListView(
    CompactLibraryListPresenter& presenter, QWidget* parent)
    : QWidget(parent)
    , m_presenter(presenter)
    , m_header(new CompactLibraryListHeader(this))
    , m_list(new QListView(this))
{
    setObjectName(QStringLiteral("compactLibraryList"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(m_header);
    column->addWidget(editing::divider(this));
    column->addWidget(m_list, 1);

    m_list->setModel(&presenter.model());
    m_list->setItemDelegate(new CompactLibraryListDelegate(m_list));
    m_list->setUniformItemSizes(true);
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_list->viewport()->setAutoFillBackground(false);
    m_list->setStyleSheet(QStringLiteral("QListView { background: transparent; }"));

    CompactLibraryListModel& model = presenter.model();
    m_header->setSortOrder(model.sortOrder());
    connect(&model, &CompactLibraryListModel::sortOrderChanged, m_header,
        &CompactLibraryListHeader::setSortOrder);
    connect(m_header, &CompactLibraryListHeader::sortRequested, this,
        [this](TrackSortField field) { m_presenter.sortBy(field); });
    connect(m_list, &QListView::clicked, this,
        [this](const QModelIndex& index) { m_presenter.select(index.row()); });
    connect(m_list, &QListView::doubleClicked, this,
        [this](const QModelIndex& index) { m_presenter.play(index.row()); });
}

void CompactLibraryListView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), eonCanvas());
}

} // namespace kivo
