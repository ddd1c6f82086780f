#include "ui/songtable/TrackListHeaderView.h"

#include "ui/eon/EonFonts.h"
#include "ui/eon/EonMetrics.h"
#include "ui/eon/EonPalette.h"
#include "ui/eon/EonPlainLabel.h"
#include "ui/eon/EonSymbolView.h"
#include "ui/eon/Symbols.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

QLabel* plainLabel(const QFont& font, const QColor& color, QWidget* parent, QLabel* label = nullptr)
{
    if (label) {
        label->setParent(parent);
    } else {
        label = new QLabel(parent);
    }
    // Titles come from the user's files and playlists: never markup.
    eonMakePlainLabel(*label, font, color);
    return label;
}

// The list's title gives way first when the header is narrow: it is drawn
// cut with an ellipsis, so the header's buttons never leave its bounds.
class ElidedTitle : public QLabel {
public:
    using QLabel::QLabel;
    QSize minimumSizeHint() const override { return { 0, QLabel::minimumSizeHint().height() }; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.setFont(font());
        painter.drawText(rect(), int(alignment()) | Qt::TextSingleLine,
            fontMetrics().elidedText(text(), Qt::ElideRight, width()));
    }
};

} // namespace

TrackListHeaderView::TrackListHeaderView(QWidget* parent)
    : QWidget(parent)
    , m_title(plainLabel(
          eonFont(eon::textLargeTitle, QFont::Bold), eonAccentBright(), this, new ElidedTitle))
    , m_edit(new QPushButton(this))
    , m_actions(new QHBoxLayout)
    , m_count(plainLabel(eonFont(eon::textBody, QFont::Medium), eonTextTertiary(), this))
{
    m_title->setObjectName(u"trackListTitle"_s);
    m_count->setObjectName(u"trackListCount"_s);
    m_edit->setObjectName(u"trackListEditSelection"_s);
    m_edit->setFont(eonFont(eon::textCallout, QFont::DemiBold));
    m_edit->setIcon(
        QIcon(Symbols::pixmap(u"pencil"_s, eonAccent(), Symbols::sizeForTextSize(eon::textCallout),
            int(Symbols::sizeForTextSize(eon::textCallout)) + 2, devicePixelRatioF())));
    m_edit->setToolTip(u"Edit shared metadata for the selected songs"_s);
    m_edit->setCursor(Qt::PointingHandCursor);
    m_edit->setStyleSheet(
        u"QPushButton { color: %1; background: %2; border: 1px solid %3;"
        u" border-radius: 6px; padding: 3px 10px; }"
        u"QPushButton:pressed { background: %3; }"_s.arg(eonAccent().name(QColor::HexArgb),
            eonAccentWash().name(QColor::HexArgb),
            eonWithOpacity(eonAccent(), 0.45).name(QColor::HexArgb)));
    m_edit->hide();
    connect(m_edit, &QPushButton::clicked, this, [this] {
        if (m_onEditSelection) {
            m_onEditSelection();
        }
    });

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(28, 13, 28, 13);
    row->setSpacing(eon::spaceXL);
    m_title->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    row->addWidget(m_title, 1, Qt::AlignVCenter);
    row->addWidget(m_edit, 0, Qt::AlignVCenter);
    m_actions->setSpacing(eon::spaceXL);
    m_actions->setContentsMargins(0, 0, 0, 0);
    row->addLayout(m_actions);
    row->addWidget(m_count, 0, Qt::AlignVCenter);
    // The count's room belongs to the header from the start: while the
    // library loads (no count yet) the actions keep the place they will have.
    QSizePolicy countPolicy = m_count->sizePolicy();
    countPolicy.setRetainSizeWhenHidden(true);
    m_count->setSizePolicy(countPolicy);
    m_count->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    int reserved = 0;
    for (int digit = 0; digit <= 9; ++digit) {
        m_count->setText(countText(digit));
        reserved = std::max(reserved, m_count->sizeHint().width());
    }
    m_count->setMinimumWidth(reserved);
    setCounts(0, 0);
}

QString TrackListHeaderView::editText(qsizetype selectionCount)
{
    return u"Edit %1 Songs"_s.arg(selectionCount);
}

QString TrackListHeaderView::countText(qsizetype trackCount)
{
    // One form for every count, 0 and 1 included.
    return u"%1 songs"_s.arg(trackCount);
}

void TrackListHeaderView::setTitle(const QString& title)
{
    m_title->setText(title);
    m_title->setAccessibleName(title);
}

void TrackListHeaderView::setCounts(std::optional<qsizetype> trackCount, qsizetype selectionCount)
{
    m_count->setText(trackCount ? countText(*trackCount) : QString());
    m_count->setAccessibleName(m_count->text());
    m_count->setVisible(trackCount.has_value());
    m_edit->setText(editText(selectionCount));
    m_edit->setVisible(selectionCount >= 2);
}

void TrackListHeaderView::setActions(const QList<QWidget*>& actions)
{
    while (QLayoutItem* item = m_actions->takeAt(0)) {
        if (QWidget* widget = item->widget()) {
            widget->deleteLater();
        }
        delete item;
    }
    for (QWidget* action : actions) {
        m_actions->addWidget(action, 0, Qt::AlignVCenter);
    }
}

void TrackListHeaderView::setOnEditSelection(std::function<void()> onEditSelection)
{
    m_onEditSelection = std::move(onEditSelection);
}

TrackListEmptyStateView::TrackListEmptyStateView(QWidget* parent)
    : QWidget(parent)
    , m_symbol(new EonSymbolView(QString(), 34, eonTextTertiary(), this))
    , m_title(plainLabel(eonFont(eon::textSubheadline, QFont::DemiBold), eonTextSecondary(), this))
    , m_subtitle(plainLabel(eonFont(eon::textCallout, QFont::Medium), eonTextTertiary(), this))
{
    setObjectName(u"trackListEmptyState"_s);
    m_title->setAlignment(Qt::AlignHCenter);
    m_title->setWordWrap(true);
    m_subtitle->setAlignment(Qt::AlignHCenter);
    m_subtitle->setWordWrap(true);
    auto* column = new QVBoxLayout(this);
    column->setSpacing(eon::spaceL);
    column->addStretch(1);
    column->addWidget(m_symbol, 0, Qt::AlignHCenter);
    // The texts span the width, so a long subtitle wraps instead of clipping.
    column->addWidget(m_title);
    column->addWidget(m_subtitle);
    column->addStretch(1);
}

void TrackListEmptyStateView::setEmptyState(
    const QString& systemImage, const QString& title, const QString& subtitle)
{
    m_symbol->setSymbolName(systemImage);
    m_title->setText(title);
    m_title->setAccessibleName(title);
    m_subtitle->setText(subtitle);
    m_subtitle->setAccessibleName(subtitle);
}

QString TrackListEmptyStateView::symbolName() const
{
    return m_symbol->symbolName();
}

} // namespace kivo
