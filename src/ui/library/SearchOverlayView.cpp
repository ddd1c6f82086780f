#include "ui/library/SearchOverlayView.h"

#include "ui/editing/EditingStyle.h"
#include "ui/eon/EonFonts.h"
#include "ui/eon/EonMetrics.h"
#include "ui/eon/EonPalette.h"
#include "ui/eon/EonSymbolButton.h"
#include "ui/eon/EonSymbolView.h"
#include "ui/eon/Symbols.h"
#include "ui/library/SearchOverlayResultsDelegate.h"
#include "ui/library/SearchOverlayResultsModel.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>
#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

constexpr int panelTop = 60;
constexpr int panelMaximumWidth = 600;
constexpr int panelMaximumHeight = 500;
constexpr double panelRadius = eon::sheetCornerRadius;
constexpr int listTopPadding = 4; // with the first title row's own 16: 20
constexpr int listPadding = 20;
// Larger than any field in a sheet: the search is the panel's only control.
constexpr int searchTextSize = 17;

} // namespace

SearchOverlayView::SearchOverlayView(QWidget* parent)
    : QWidget(parent)
    , m_model(new SearchOverlayResultsModel(this))
    , m_panel(new QWidget(this))
    , m_field(new QLineEdit(m_panel))
    , m_clear(new EonSymbolButton(u"xmark.circle.fill"_s, 13, eonTextTertiary(), m_panel))
    , m_searchRow(new QWidget(m_panel))
    , m_noResults(new QWidget(m_panel))
    , m_quotedQuery(nullptr)
    , m_listBox(new QWidget(m_panel))
    , m_list(new QListView(m_listBox))
{
    setObjectName(u"searchOverlay"_s);
    m_panel->setObjectName(u"searchOverlay.panel"_s);
    setFocusPolicy(Qt::StrongFocus);

    auto* searchRow = new QHBoxLayout(m_searchRow);
    searchRow->setContentsMargins(eon::space3XL, eon::space3XL, eon::space3XL, eon::space3XL);
    searchRow->setSpacing(eon::spaceXL);
    searchRow->addWidget(new EonSymbolView(u"magnifyingglass"_s, 16, eonTextTertiary(), m_panel));
    m_field->setObjectName(u"searchOverlay.field"_s);
    m_field->setPlaceholderText(u"Search songs, artists, albums..."_s);
    m_field->setFont(eonFont(searchTextSize, QFont::Medium));
    m_field->setFrame(false);
    QPalette fieldPalette = m_field->palette();
    fieldPalette.setColor(QPalette::Base, Qt::transparent);
    fieldPalette.setColor(QPalette::Text, eonTextPrimary());
    fieldPalette.setColor(QPalette::PlaceholderText, eonTextTertiary());
    m_field->setPalette(fieldPalette);
    m_field->setAttribute(Qt::WA_MacShowFocusRect, false);
    searchRow->addWidget(m_field, 1);
    m_clear->setObjectName(u"searchOverlay.clear"_s);
    m_clear->setAccessibleName(u"Clear search"_s);
    m_clear->setFixedSize(20, 20);
    searchRow->addWidget(m_clear);
    QLabel* escape = editing::plainLabel(
        u"ESC"_s, eonMonoFont(eon::textCaption, QFont::Bold), eonTextPrimary());
    escape->setObjectName(u"searchOverlay.escHint"_s);
    escape->setStyleSheet(u"QLabel { background: rgba(255, 255, 255, 0.07); border-radius: 4px;"
                          " padding: 4px 7px; }"_s);
    searchRow->addWidget(escape);

    auto* noResults = new QVBoxLayout(m_noResults);
    noResults->setContentsMargins(0, 60, 0, 60);
    noResults->setSpacing(eon::spaceXL);
    auto* bigGlass = new EonSymbolView(u"magnifyingglass"_s, 30, eonTextTertiary(), m_panel);
    const int glassSide = int(std::ceil(Symbols::sizeForTextSize(30)));
    bigGlass->setFixedSize(glassSide, glassSide);
    noResults->addWidget(bigGlass, 0, Qt::AlignHCenter);
    noResults->addWidget(editing::plainLabel(u"No results found"_s,
                             eonFont(eon::textBody, QFont::DemiBold), eonTextSecondary()),
        0, Qt::AlignHCenter);
    m_quotedQuery
        = editing::plainLabel({}, eonFont(eon::textBody, QFont::Medium), eonTextTertiary());
    m_quotedQuery->setObjectName(u"searchOverlay.noResultsQuery"_s);
    noResults->addWidget(m_quotedQuery, 0, Qt::AlignHCenter);

    m_list->setObjectName(u"searchOverlay.results"_s);
    m_list->setModel(m_model);
    m_list->setItemDelegate(new SearchOverlayResultsDelegate(m_list));
    m_list->setUniformItemSizes(true);
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    m_list->setFocusPolicy(Qt::NoFocus);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_list->setStyleSheet(u"QListView { background: transparent; }"_s);
    m_list->viewport()->setAutoFillBackground(false);

    auto* column = new QVBoxLayout(m_panel);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(m_searchRow);
    column->addWidget(editing::divider(m_panel));
    column->addWidget(m_noResults);
    auto* listBox = new QVBoxLayout(m_listBox);
    listBox->setContentsMargins(listPadding, listTopPadding, listPadding, listPadding);
    listBox->addWidget(m_list);
    column->addWidget(m_listBox, 1);
    column->addStretch(0);

    connect(m_field, &QLineEdit::textEdited, this, &SearchOverlayView::writeQuery);
    connect(m_clear, &QAbstractButton::clicked, this, &SearchOverlayView::clear);
    if (parent) {
        parent->installEventFilter(this);
        setGeometry(parent->rect());
    }
    refresh();
}

void SearchOverlayView::setSearchQuery(const QString& query)
{
    if (query != m_query) {
        m_query = query;
        refresh();
    }
}

void SearchOverlayView::setResults(const SearchResults& results)
{
    if (results == m_results) {
        return;
    }
    m_results = results;
    m_model->setResults(results);
    refresh();
}

SearchOverlayContent SearchOverlayView::content() const
{
    return searchOverlayContent(m_query, m_results);
}

bool SearchOverlayView::isClearButtonShown() const
{
    return !m_query.isEmpty();
}

void SearchOverlayView::dismiss()
{
    hideOverlay();
    writeQuery({});
}

void SearchOverlayView::clear()
{
    writeQuery({});
}

void SearchOverlayView::writeQuery(const QString& query)
{
    const bool changed = query != m_query;
    m_query = query;
    refresh();
    if (changed) {
        Q_EMIT searchQueryChanged(query);
    }
}

void SearchOverlayView::hideOverlay()
{
    if (!isHidden()) {
        hide();
        Q_EMIT dismissed();
    }
}

void SearchOverlayView::refresh()
{
    if (m_field->text() != m_query) {
        m_field->setText(m_query);
    }
    m_clear->setVisible(isClearButtonShown());
    const SearchOverlayContent shown = content();
    m_noResults->setVisible(shown == SearchOverlayContent::noResults);
    m_listBox->setVisible(shown == SearchOverlayContent::results);
    m_quotedQuery->setText(searchOverlayQuotedQuery(m_query));
    layoutPanel();
}

void SearchOverlayView::layoutPanel()
{
    const int width = std::min(panelMaximumWidth, this->width());
    int height = m_searchRow->sizeHint().height() + 1;
    switch (content()) {
    case SearchOverlayContent::nothing:
        break;
    case SearchOverlayContent::noResults:
        height += m_noResults->sizeHint().height();
        break;
    case SearchOverlayContent::results:
        height += listTopPadding + listPadding
            + m_model->rowCount() * SearchOverlayResultsDelegate::rowHeight;
        break;
    }
    height = std::min({ height, panelMaximumHeight, std::max(0, this->height() - panelTop) });
    m_panel->setGeometry((this->width() - width) / 2, panelTop, width, height);
    update();
}

bool SearchOverlayView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parent() && event->type() == QEvent::Resize) {
        setGeometry(parentWidget()->rect());
    }
    return QWidget::eventFilter(watched, event);
}

void SearchOverlayView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutPanel();
}

void SearchOverlayView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), eonWithOpacity(eonCanvas(), 0.55));
    const QRectF panel = QRectF(m_panel->geometry()).adjusted(0.5, 0.5, -0.5, -0.5);
    // The shadow, 12 down, as a few widening translucent outlines.
    painter.setPen(Qt::NoPen);
    for (int step = 0; step < 4; ++step) {
        const double grow = 6.0 * (step + 1);
        painter.setBrush(QColor(0, 0, 0, 28 - step * 6));
        painter.drawRoundedRect(panel.translated(0, 12).adjusted(-grow, -grow, grow, grow),
            panelRadius + grow, panelRadius + grow);
    }
    painter.setBrush(eonSurfaceRaised());
    painter.drawRoundedRect(panel, panelRadius, panelRadius);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(eonWithOpacity(Qt::white, 0.08), 1));
    painter.drawRoundedRect(panel, panelRadius, panelRadius);
}

void SearchOverlayView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton
        && !m_panel->geometry().contains(event->position().toPoint())) {
        dismiss();
        return;
    }
    event->accept(); // a click inside the panel changes nothing
}

void SearchOverlayView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        hideOverlay();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace kivo
