#include "app/TopHeaderView.h"

#include "ui/eon/EonFonts.h"
#include "ui/eon/EonIconButton.h"
#include "ui/eon/EonMetrics.h"
#include "ui/eon/EonPalette.h"
#include "ui/eon/EonSymbolView.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPainter>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

// The search field's faint rounded backing.
class SearchBox : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor::fromRgbF(1, 1, 1, 0.055f));
        painter.drawRoundedRect(rect(), eon::searchFieldCornerRadius, eon::searchFieldCornerRadius);
    }
};

} // namespace

TopHeaderView::TopHeaderView(QWidget* parent)
    : QWidget(parent)
    , m_searchBox(new SearchBox(this))
    , m_searchField(new QLineEdit(m_searchBox))
    , m_listButton(new EonIconButton(u"list.bullet"_s, 30, true, std::nullopt, this))
    , m_gridButton(new EonIconButton(u"square.grid.2x2"_s, 30, false, std::nullopt, this))
{
    setObjectName(u"topHeader"_s);
    auto* bar = new QHBoxLayout(this);
    bar->setContentsMargins(22, 11, 22, 11);
    bar->setSpacing(14);

    auto* field = new QHBoxLayout(m_searchBox);
    field->setContentsMargins(12, 7, 12, 7);
    field->setSpacing(eon::spaceM);
    field->addWidget(new EonSymbolView(u"magnifyingglass"_s, 12, eonTextTertiary(), m_searchBox));
    m_searchField->setObjectName(u"topHeader.search"_s);
    m_searchField->setPlaceholderText(u"Search your library..."_s);
    m_searchField->setAccessibleName(u"Search your library..."_s);
    m_searchField->setFrame(false);
    m_searchField->setFont(eonFont(eon::textCallout, QFont::Medium));
    QPalette palette = m_searchField->palette();
    palette.setColor(QPalette::Base, Qt::transparent);
    palette.setColor(QPalette::Text, eonTextPrimary());
    palette.setColor(QPalette::PlaceholderText, eonTextTertiary());
    m_searchField->setPalette(palette);
    field->addWidget(m_searchField, 1);
    m_searchBox->setMaximumWidth(maximumSearchWidth);
    m_searchBox->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);

    bar->addWidget(m_searchBox, 1);
    bar->addStretch(0);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(eon::spaceXS);
    m_listButton->setObjectName(u"topHeader.list"_s);
    m_gridButton->setObjectName(u"topHeader.grid"_s);
    buttons->addWidget(m_listButton);
    buttons->addWidget(m_gridButton);
    bar->addLayout(buttons);
}

QString TopHeaderView::searchText() const
{
    return m_searchField->text();
}

void TopHeaderView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), eonWithOpacity(eonSurface(), 0.72));
    painter.fillRect(QRect(0, height() - 1, width(), 1), eonHairline());
}

} // namespace kivo
