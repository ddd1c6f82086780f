#include "ui/player/PlayerIssueBanner.h"

#include "ui/eon/EonFonts.h"
#include "ui/eon/EonMetrics.h"
#include "ui/eon/EonPalette.h"
#include "ui/eon/EonPlainLabel.h"
#include "ui/eon/EonSymbolButton.h"
#include "ui/eon/EonSymbolView.h"
#include "ui/eon/PlainToolTip.h"
#include "ui/eon/Symbols.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>
#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

const QColor& orange()
{
    return eonWarning();
}

} // namespace

PlayerIssueBanner::PlayerIssueBanner(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(u"player.issueBanner"_s);
    setAttribute(Qt::WA_TranslucentBackground);
    setMaximumWidth(maximumCardWidth);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(12, 9, 12, 9);
    row->setSpacing(9);
    m_symbol = new EonSymbolView(u"exclamationmark.triangle.fill"_s, 12, orange(), this);
    row->addWidget(m_symbol);
    m_text = eonPlainLabel({}, eonFont(eon::textFootnote, QFont::DemiBold), eonTextPrimary(), this);
    m_text->setObjectName(u"player.issueMessage"_s);
    row->addWidget(m_text, 1);
    m_dismiss = new EonSymbolButton(u"xmark"_s, 10, eonTextSecondary(), this);
    m_dismiss->setFixedSize(18, 18);
    m_dismiss->setAccessibleName(u"Dismiss"_s);
    row->addWidget(m_dismiss);
    connect(m_dismiss, &QAbstractButton::clicked, this, &PlayerIssueBanner::dismissed);
}

QString PlayerIssueBanner::message() const
{
    return property("message").toString();
}

void PlayerIssueBanner::setMessage(const QString& message)
{
    setProperty("message", message);
    // Two lines at most, the second cut with an ellipsis.
    const QFontMetrics metrics(m_text->font());
    const QMargins margins = layout()->contentsMargins();
    const int lineWidth = maximumCardWidth - margins.left() - margins.right() - 9 * 2
        - m_symbol->width() - m_dismiss->width() - 2;
    QString shown = message;
    if (metrics.horizontalAdvance(message) > lineWidth) {
        int cut = 0;
        int lastSpace = -1;
        while (
            cut < message.size() && metrics.horizontalAdvance(message.left(cut + 1)) <= lineWidth) {
            if (message.at(cut).isSpace()) {
                lastSpace = cut;
            }
            ++cut;
        }
        const int breakAt = lastSpace > 0 ? lastSpace : cut;
        shown = message.left(breakAt).trimmed() + u'\n'
            + metrics.elidedText(message.mid(breakAt).trimmed(), Qt::ElideRight, lineWidth);
    }
    m_text->setText(shown);
    m_text->setFixedWidth(std::min(metrics.horizontalAdvance(message), lineWidth) + 2);
    setPlainToolTip(*m_text, message);
    adjustSize();
}

void PlayerIssueBanner::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF card = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QPen(eonWithOpacity(orange(), 0.28), 1));
    // Opaque like the window's banners: rows beneath would read through it.
    painter.setBrush(eonSurfaceRaised());
    painter.drawRoundedRect(card, eon::cardCornerRadius, eon::cardCornerRadius);
}

PlayerEmptyStateView::PlayerEmptyStateView(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(u"player.emptyState"_s);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(eon::spaceXL);
    row->addStretch(1);
    auto* badge = new QLabel(this);
    badge->setFixedSize(38, 38);
    QPixmap pixmap(38 * 2, 38 * 2);
    pixmap.setDevicePixelRatio(2);
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(eonAccentWash());
        painter.drawEllipse(QRectF(0, 0, 38, 38));
        Symbols::paint(painter, QRectF(0, 0, 38, 38), u"music.note"_s, eonAccent(),
            Symbols::sizeForTextSize(eon::textBody));
    }
    badge->setPixmap(pixmap);
    row->addWidget(badge);
    auto* column = new QVBoxLayout;
    column->setSpacing(eon::titleLineSpacing);
    column->addStretch(1);
    column->addWidget(eonPlainLabel(
        u"Ready when you are"_s, eonFont(eon::textBody, QFont::DemiBold), eonTextPrimary(), this));
    column->addWidget(eonPlainLabel(u"Choose a track to start listening"_s,
        eonFont(eon::textFootnote, QFont::Medium), eonTextTertiary(), this));
    column->addStretch(1);
    row->addLayout(column);
    row->addStretch(1);
}

} // namespace kivo
