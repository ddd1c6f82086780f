#include "ui/library/LibraryGridView.h"

#include "ui/editing/EditingStyle.h"
#include "ui/eon/EonFonts.h"
#include "ui/eon/EonMetrics.h"
#include "ui/eon/EonPalette.h"
#include "ui/eon/EonSymbolView.h"
#include "ui/library/LibraryGridArea.h"
#include "ui/library/LibraryGridLayout.h"
#include "ui/library/LibraryGridPresenter.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QShowEvent>
#include <QSlider>
#include <QVBoxLayout>
#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

// The slider works in tenths of a point so that it moves smoothly.
constexpr int sliderScale = 10;

} // namespace

LibraryGridView::LibraryGridView(LibraryGridPresenter& presenter, QWidget* parent)
    : QWidget(parent)
    , m_presenter(presenter)
    , m_header(new QWidget(this))
    , m_slider(new QSlider(Qt::Horizontal, m_header))
    , m_area(new LibraryGridArea(presenter.model(), this))
{
    setObjectName(u"libraryGrid"_s);
    auto* row = new QHBoxLayout(m_header);
    row->setContentsMargins(eon::space4XL, eon::space2XL, eon::space4XL, eon::space2XL);
    row->addWidget(
        editing::plainLabel(u"Library"_s, eonFont(eon::textTitle, QFont::Bold), eonTextPrimary()));
    row->addStretch(1);
    auto* control = new QHBoxLayout;
    control->setSpacing(eon::spaceXL);
    control->addWidget(new EonSymbolView(u"square.grid.2x2"_s, 11, eonTextTertiary(), m_header));
    control->addWidget(m_slider);
    control->addWidget(new EonSymbolView(u"square.grid.3x3"_s, 11, eonTextTertiary(), m_header));
    row->addLayout(control);

    m_slider->setObjectName(u"libraryGrid.sizeSlider"_s);
    m_slider->setAccessibleName(u"Tile size"_s);
    m_slider->setFixedWidth(80);
    m_slider->setRange(int(LibraryGridLayout::minimumItemWidth) * sliderScale,
        int(LibraryGridLayout::maximumItemWidth) * sliderScale);
    m_slider->setValue(int(std::lround(presenter.gridItemWidth() * sliderScale)));

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(m_header);
    column->addWidget(editing::divider(this));
    column->addWidget(m_area, 1);

    m_area->setItemWidth(presenter.gridItemWidth(), false);
    connect(m_slider, &QSlider::valueChanged, this,
        [this](int value) { m_presenter.setGridItemWidth(double(value) / sliderScale); });
    connect(&presenter, &LibraryGridPresenter::gridItemWidthChanged, this, [this](double width) {
        m_area->setItemWidth(width, isVisible());
        const QSignalBlocker blocker(m_slider);
        m_slider->setValue(int(std::lround(width * sliderScale)));
    });
}

void LibraryGridView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous()) {
        m_presenter.loadSampleTracks();
    }
}

void LibraryGridView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), eonCanvas());
    painter.fillRect(m_header->geometry(), eonWithOpacity(eonSurface(), 0.72));
}

} // namespace kivo
