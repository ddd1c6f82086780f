#include "app/RecoveryBannerView.h"

#include "ui/eon/EonFonts.h"
#include "ui/eon/EonMetrics.h"
#include "ui/eon/EonPalette.h"
#include "ui/eon/EonPlainLabel.h"
#include "ui/eon/EonSymbolButton.h"
#include "ui/eon/EonSymbolView.h"
#include "ui/eon/EonTextElision.h"
#include "ui/eon/PlainToolTip.h"

#include <QGraphicsDropShadowEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

RecoveryBannerView::RecoveryBannerView(QWidget* parent)
    : QWidget(parent)
    , m_message(new QLabel(this))
    , m_close(new EonSymbolButton(u"xmark"_s, 10, eonTextSecondary(), this))
{
    setObjectName(u"recoveryBanner"_s);
    setAttribute(Qt::WA_TranslucentBackground);
    setMaximumWidth(maximumBannerWidth);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(13, 10, 13, 10);
    row->setSpacing(eon::spaceL);
    m_icon = new EonSymbolView(u"arrow.clockwise.circle.fill"_s, 11, eonAccentBright(), this);
    row->addWidget(m_icon, 0, Qt::AlignVCenter);

    // The text comes from errors: never read as markup.
    m_message->setObjectName(u"recoveryBanner.message"_s);
    eonMakePlainLabel(*m_message, eonFont(eon::textFootnote, QFont::DemiBold), eonTextPrimary());
    m_message->setWordWrap(true);
    // Two lines at most: longer texts end in an ellipsis (fitMessage).
    m_message->setMaximumHeight(2 * QFontMetrics(m_message->font()).lineSpacing());
    row->addWidget(m_message, 1, Qt::AlignVCenter);

    m_close->setObjectName(u"recoveryBanner.close"_s);
    m_close->setFixedSize(18, 18);
    m_close->setAccessibleName(u"Dismiss"_s);
    row->addWidget(m_close, 0, Qt::AlignVCenter);
    connect(m_close, &QAbstractButton::clicked, this, &RecoveryBannerView::dismissed);

    auto* shadow = new QGraphicsDropShadowEffect(this);
    shadow->setColor(eonBannerShadow());
    shadow->setBlurRadius(16);
    shadow->setOffset(0, 8);
    setGraphicsEffect(shadow);
}

void RecoveryBannerView::setMessage(const QString& message)
{
    m_fullText = message;
    m_message->setAccessibleName(message);
    setPlainToolTip(*m_message, message);
    fitMessage();
}

void RecoveryBannerView::resizeEvent(QResizeEvent*)
{
    fitMessage();
}

int RecoveryBannerView::chromeWidth() const
{
    const QMargins margins = layout()->contentsMargins();
    return margins.left() + margins.right() + m_icon->width() + m_close->width()
        + 2 * layout()->spacing();
}

QSize RecoveryBannerView::fitTo(int available)
{
    const int natural
        = QFontMetrics(m_message->font()).horizontalAdvance(m_fullText) + chromeWidth() + 2;
    const int width
        = std::max(chromeWidth() + 40, std::min({ natural, maximumBannerWidth, available }));
    m_message->setText(elideToLines(m_fullText, m_message->font(), width - chromeWidth(), 2));
    return { width, layout()->totalHeightForWidth(width) };
}

void RecoveryBannerView::fitMessage()
{
    layout()->activate();
    m_message->setText(
        elideToLines(m_fullText, m_message->font(), m_message->contentsRect().width(), 2));
}

void RecoveryBannerView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    // A thick dark material, opaque: the page beneath never shows through
    // the message (text under text cannot be read).
    painter.setPen(QPen(eonWithOpacity(eonAccentBright(), 0.26), 1));
    painter.setBrush(eonSurfaceRaised());
    painter.drawRoundedRect(box, eon::bannerCornerRadius, eon::bannerCornerRadius);
}

} // namespace kivo
