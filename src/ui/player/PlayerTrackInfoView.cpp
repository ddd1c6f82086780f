#include "ui/player/PlayerTrackInfoView.h"

#include "ui/eon/EonFonts.h"
#include "ui/eon/EonMetrics.h"
#include "ui/eon/EonPalette.h"
#include "ui/eon/EonPlainLabel.h"
#include "ui/eon/PlainToolTip.h"
#include "ui/eon/Symbols.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

QLabel* textLine(const QFont& font, const QColor& color, QWidget* parent)
{
    QLabel* label = eonPlainLabel({}, font, color, parent);
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    return label;
}

void setElided(QLabel* label, const QString& text)
{
    label->setProperty("fullText", text);
    label->setText(label->fontMetrics().elidedText(text, Qt::ElideRight, label->width()));
}

} // namespace

PlayerTrackInfoView::PlayerTrackInfoView(ArtworkCache& artwork, QWidget* parent)
    : QWidget(parent)
    , m_artwork(artwork)
{
    setObjectName(u"player.trackInfo"_s);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(eon::spaceXL);
    m_square = new QWidget(this);
    m_square->setFixedSize(58, 58);
    m_square->installEventFilter(this);
    row->addWidget(m_square);
    auto* column = new QVBoxLayout;
    column->setSpacing(eon::spaceXS);
    m_title = textLine(eonFont(eon::textBody, QFont::DemiBold), eonTextPrimary(), this);
    m_title->setObjectName(u"player.title"_s);
    m_artist = textLine(eonFont(eon::textFootnote, QFont::Medium), eonTextSecondary(), this);
    m_artist->setObjectName(u"player.artist"_s);
    QFont statusFont = eonFont(eon::textCaption, QFont::DemiBold);
    statusFont.setLetterSpacing(QFont::AbsoluteSpacing, 0.7);
    m_status = textLine(statusFont, eonTextTertiary(), this);
    m_status->setObjectName(u"player.status"_s);
    for (QLabel* label : { m_title, m_artist, m_status }) {
        label->installEventFilter(this);
        column->addWidget(label);
    }
    row->addLayout(column, 1);
}

QString PlayerTrackInfoView::statusText(PlaybackState state)
{
    switch (state) {
    case PlaybackState::stopped:
        return u"Stopped"_s;
    case PlaybackState::buffering:
        return u"Loading"_s;
    case PlaybackState::playing:
        return u"Now playing"_s;
    case PlaybackState::paused:
        return u"Ready to resume"_s;
    case PlaybackState::failed:
        break;
    }
    return u"Playback unavailable"_s;
}

QString PlayerTrackInfoView::artistText(const Track& track)
{
    return track.artist && !track.artist->isEmpty() ? *track.artist : u"Unknown Artist"_s;
}

QString PlayerTrackInfoView::title() const
{
    return m_title->property("fullText").toString();
}

QString PlayerTrackInfoView::status() const
{
    return m_status->property("fullText").toString();
}

void PlayerTrackInfoView::setTrack(const Track& track, PlaybackState state)
{
    setElided(m_title, track.title);
    setPlainToolTip(*m_title, track.title);
    if (m_title->accessibleName() != track.title) {
        m_title->setAccessibleName(track.title);
    }
    setElided(m_artist, artistText(track));
    setElided(m_status, statusText(state).toUpper());
    QPalette palette = m_status->palette();
    palette.setColor(QPalette::WindowText,
        state == PlaybackState::playing ? eonAccentBright() : eonTextTertiary());
    m_status->setPalette(palette);
    if (m_trackID != track.id) {
        m_trackID = track.id;
        m_image = {};
        m_square->update();
        loadArtwork(++m_generation, track);
    }
}

QCoro::Task<> PlayerTrackInfoView::loadArtwork(quint64 generation, Track track)
{
    const QPointer<PlayerTrackInfoView> self(this);
    ArtworkCache& artwork = m_artwork;
    const std::optional<QByteArray> bytes = co_await artwork.retrieveArtwork(track);
    if (!self || generation != m_generation) {
        co_return; // a later song is shown now
    }
    m_image = bytes ? QImage::fromData(*bytes) : QImage();
    m_square->update();
}

bool PlayerTrackInfoView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize && watched != m_square) {
        auto* label = static_cast<QLabel*>(watched);
        setElided(label, label->property("fullText").toString());
    }
    if (event->type() != QEvent::Paint || watched != m_square) {
        return QWidget::eventFilter(watched, event);
    }
    QPainter painter(m_square);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF square = QRectF(m_square->rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath shape;
    shape.addRoundedRect(square, eon::cardCornerRadius, eon::cardCornerRadius);
    painter.fillPath(shape,
        EonGradient { { eonSurfaceRaised(), eonAccentWash(), eonSurface() }, { 0, 0 }, { 1, 1 } }
            .toLinearGradient());
    if (!m_image.isNull()) {
        painter.save();
        painter.setClipPath(shape);
        const QSizeF scaled
            = m_image.size().scaled(square.size().toSize(), Qt::KeepAspectRatioByExpanding);
        const QRectF target(
            square.center() - QPointF(scaled.width() / 2, scaled.height() / 2), scaled);
        painter.drawImage(target, m_image);
        painter.restore();
    } else {
        Symbols::paint(
            painter, square, u"waveform"_s, eonTextSecondary(), Symbols::sizeForTextSize(18));
    }
    painter.setPen(QPen(eonWithOpacity(eonAccent(), 0.24), 1));
    painter.drawPath(shape);
    return true;
}

} // namespace kivo
