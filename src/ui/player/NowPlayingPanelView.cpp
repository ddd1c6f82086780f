#include "ui/player/NowPlayingPanelView.h"

#include "ui/editing/TrackMetadataEditorSheet.h"
#include "ui/eon/EonFocusRingOverlay.h"
#include "ui/eon/EonFonts.h"
#include "ui/eon/EonIconButton.h"
#include "ui/eon/EonMetrics.h"
#include "ui/eon/EonPalette.h"
#include "ui/eon/EonPlainLabel.h"
#include "ui/eon/EonSymbolView.h"
#include "ui/eon/EonTextElision.h"
#include "ui/eon/PlainToolTip.h"
#include "ui/player/NowPlayingArtworkView.h"
#include "ui/player/NowPlayingMetadataDetailsView.h"
#include "ui/songtable/TrackFavoriteButton.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

constexpr int buttonSize = 30;

QLabel* textLabel(const QFont& font, const QColor& color, const QString& name, QWidget* parent)
{
    // Song data comes from the user's files.
    QLabel* label = eonPlainLabel({}, font, color, parent);
    label->setObjectName(name);
    return label;
}

// The file's format on a small rounded, outlined amber plate.
class FormatBadge : public QLabel {
public:
    explicit FormatBadge(QWidget* parent)
        : QLabel(parent)
    {
        setObjectName(u"nowPlaying.format"_s);
        eonMakePlainLabel(*this, eonFont(eon::textFootnote, QFont::Bold), eonTextSecondary());
        setContentsMargins(eon::spaceM, 5, eon::spaceM, 5);
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        {
            QPainter painter(this);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(QPen(eonWithOpacity(eonAccent(), 0.2), 1));
            painter.setBrush(eonAccentWash());
            painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5),
                eon::badgeCornerRadius, eon::badgeCornerRadius);
        }
        QLabel::paintEvent(event);
    }
};

} // namespace

NowPlayingPanelView::NowPlayingPanelView(NowPlayingPanelEngines engines, QWidget* parent)
    : QWidget(parent)
    , m_engines(engines)
    , m_presenter(
          new NowPlayingPanelPresenter(engines.audio, engines.library, engines.artwork, this))
{
    setObjectName(u"nowPlaying.panel"_s);
    setMinimumWidth(0);
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);

    m_empty = new QWidget(this);
    m_empty->setObjectName(u"nowPlaying.empty"_s);
    auto* emptyColumn = new QVBoxLayout(m_empty);
    emptyColumn->setSpacing(eon::spaceXL);
    emptyColumn->addStretch(1);
    emptyColumn->addWidget(
        new EonSymbolView(u"music.note"_s, 36, eonTextTertiary(), m_empty), 0, Qt::AlignHCenter);
    QLabel* emptyText = textLabel(eonFont(eon::textSubheadline, QFont::DemiBold),
        eonTextSecondary(), u"nowPlaying.emptyText"_s, m_empty);
    emptyText->setText(u"No track selected"_s);
    emptyColumn->addWidget(emptyText, 0, Qt::AlignHCenter);
    emptyColumn->addStretch(1);
    stack->addWidget(m_empty);

    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(u"nowPlaying.scroll"_s);
    // A Tab stop: heard by the panel's name.
    m_scroll->setAccessibleName(u"Now Playing"_s);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A panel cut short by a small window shows that it scrolls, with a bar
    // of its own inside the trailing margin (see syncScrollBar).
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setWidgetResizable(true);
    m_scroll->viewport()->setAutoFillBackground(false);
    new EonFocusRingOverlay(m_scroll);
    auto* content = new QWidget;
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(eon::space5XL, eon::space4XL, eon::space5XL, eon::space5XL);
    column->setSpacing(eon::space4XL);

    m_artwork = new NowPlayingArtworkView(content);
    column->addWidget(m_artwork);

    auto* info = new QVBoxLayout;
    info->setSpacing(eon::spaceXL);
    auto* headerRow = new QHBoxLayout;
    headerRow->setSpacing(eon::spaceL);
    auto* names = new QVBoxLayout;
    names->setSpacing(eon::spaceM);
    m_title = textLabel(
        eonFont(eon::textTitle, QFont::Bold), eonTextPrimary(), u"nowPlaying.title"_s, content);
    m_title->setWordWrap(true);
    m_title->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_artist = textLabel(eonFont(eon::textHeadline, QFont::Medium), eonTextSecondary(),
        u"nowPlaying.artist"_s, content);
    m_album = textLabel(eonFont(eon::textHeadline, QFont::Medium), eonTextSecondary(),
        u"nowPlaying.album"_s, content);
    for (QLabel* label : { m_title, m_artist, m_album }) {
        if (label != m_title) {
            label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        }
        label->installEventFilter(this);
        names->addWidget(label);
    }
    headerRow->addLayout(names, 1);
    m_favorite = new TrackFavoriteButton(engines.library, buttonSize, content);
    m_favorite->setObjectName(u"nowPlaying.favorite"_s);
    headerRow->addWidget(m_favorite);
    // Heard as the symbol's meaning, not as "ellipsis".
    m_edit = new EonIconButton(u"ellipsis"_s, buttonSize, false, u"More"_s, content);
    m_edit->setObjectName(u"nowPlaying.edit"_s);
    headerRow->addWidget(m_edit);
    info->addLayout(headerRow);

    auto* fileRow = new QHBoxLayout;
    fileRow->setSpacing(eon::spaceM);
    m_badge = new FormatBadge(content);
    fileRow->addWidget(m_badge);
    m_filename = textLabel(eonFont(eon::textBody, QFont::Medium), eonTextSecondary(),
        u"nowPlaying.filename"_s, content);
    m_filename->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    m_filename->installEventFilter(this);
    fileRow->addWidget(m_filename, 1);
    info->addLayout(fileRow);

    m_details = new NowPlayingMetadataDetailsView(content);
    info->addWidget(m_details);
    column->addLayout(info);
    column->addStretch(1);
    m_scroll->setWidget(content);
    content->setAutoFillBackground(false); // setWidget() turned it on; the panel paints
    stack->addWidget(m_scroll);

    m_bar = new QScrollBar(Qt::Vertical, this);
    m_bar->setObjectName(u"nowPlaying.scrollBar"_s);
    m_bar->hide();
    QScrollBar* inner = m_scroll->verticalScrollBar();
    connect(inner, &QScrollBar::rangeChanged, this, &NowPlayingPanelView::syncScrollBar);
    connect(inner, &QScrollBar::valueChanged, m_bar, &QScrollBar::setValue);
    connect(m_bar, &QScrollBar::valueChanged, inner, &QScrollBar::setValue);

    connect(
        m_edit, &QAbstractButton::clicked, m_presenter, &NowPlayingPanelPresenter::beginEditing);
    connect(m_presenter, &NowPlayingPanelPresenter::displayedTrackChanged, this,
        &NowPlayingPanelView::updateTrack);
    connect(m_presenter, &NowPlayingPanelPresenter::artworkImageChanged, m_artwork,
        &NowPlayingArtworkView::setImage);
    connect(m_presenter, &NowPlayingPanelPresenter::editingTrackChanged, this,
        &NowPlayingPanelView::updateEditor);
    connect(m_presenter, &NowPlayingPanelPresenter::editorErrorChanged, this,
        [this](const std::optional<QString>& message) {
            if (m_editor) {
                m_editor->setErrorMessage(message);
            }
        });
    updateTrack();
}

NowPlayingPanelView::~NowPlayingPanelView()
{
    // The sheet is a window of its own; it goes with the panel.
    delete m_editor.data();
}

QString NowPlayingPanelView::badge() const
{
    return m_badge->text();
}

void NowPlayingPanelView::updateTrack()
{
    const std::optional<Track>& track = m_presenter->displayedTrack();
    m_empty->setVisible(!track);
    m_scroll->setVisible(track.has_value());
    syncScrollBar();
    if (!track) {
        return;
    }
    m_favorite->setTrack(*track);
    m_titleText = track->title;
    setPlainToolTip(*m_title, m_titleText);
    m_title->setAccessibleName(m_titleText);
    m_artistText = NowPlayingPanelPresenter::artistText(*track);
    m_albumText = NowPlayingPanelPresenter::albumText(*track);
    m_badge->setText(NowPlayingPanelPresenter::formatBadge(*track));
    m_filenameText = track->filename;
    m_details->setTrack(*track);
    m_artwork->setImage(m_presenter->artworkImage());
    elideTexts();
}

void NowPlayingPanelView::elideTexts()
{
    m_title->setText(elideToLines(m_titleText, m_title->font(), m_title->width(), 2));
    for (const auto& [label, text] : { std::pair(m_artist, &m_artistText),
             std::pair(m_album, &m_albumText), std::pair(m_filename, &m_filenameText) }) {
        label->setText(label->fontMetrics().elidedText(*text, Qt::ElideRight, label->width()));
        setPlainToolTip(*label, label->text() == *text ? QString() : *text);
    }
}

void NowPlayingPanelView::updateEditor(const std::optional<Track>& track)
{
    if (!track) {
        if (m_editor) {
            m_editor->dismiss();
            m_editor->deleteLater(); // it may still be finishing its own save
            m_editor = nullptr;
        }
        return;
    }
    if (m_editor) {
        return;
    }
    const QPointer<NowPlayingPanelPresenter> presenter(m_presenter);
    auto* sheet = new TrackMetadataEditorSheet(
        *track, m_presenter->editorError(), { m_engines.artwork, m_engines.metadata },
        [presenter](Track edited) -> QCoro::Task<bool> {
            if (!presenter) {
                co_return false;
            }
            QCoro::Task<bool> saving = presenter->saveEdited(std::move(edited));
            co_return co_await std::move(saving);
        },
        this);
    connect(sheet, &TrackMetadataEditorSheet::cancelRequested, m_presenter,
        &NowPlayingPanelPresenter::cancelEditing);
    m_editor = sheet;
    sheet->present();
}

void NowPlayingPanelView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), eonPanelGradient().toLinearGradient(layoutDirection()));
    // A faint amber light from the top trailing corner.
    const QPointF corner = layoutDirection() == Qt::LeftToRight ? QPointF(width(), 0) : QPointF();
    QRadialGradient light(corner, 360);
    light.setColorAt(0, eonWithOpacity(eonAccent(), 0.1));
    light.setColorAt(10.0 / 360, eonWithOpacity(eonAccent(), 0.1));
    light.setColorAt(1, Qt::transparent);
    painter.fillRect(rect(), light);
}

void NowPlayingPanelView::resizeEvent(QResizeEvent*)
{
    m_artwork->setFixedHeight(qRound(NowPlayingPanelPresenter::artworkSide(width())));
    syncScrollBar();
}

void NowPlayingPanelView::syncScrollBar()
{
    const QScrollBar* inner = m_scroll->verticalScrollBar();
    m_bar->setRange(inner->minimum(), inner->maximum());
    m_bar->setPageStep(m_scroll->viewport()->height());
    m_bar->setSingleStep(inner->singleStep());
    m_bar->setValue(inner->value());
    // In the trailing margin, a little in from the edge, and clear of the
    // rounded corners above and below.
    const int extent = m_bar->sizeHint().width();
    m_bar->setGeometry(width() - eon::spaceM - extent, eon::space4XL, extent,
        std::max(0, height() - 2 * eon::space4XL));
    m_bar->setVisible(!m_scroll->isHidden() && inner->maximum() > inner->minimum());
    m_bar->raise();
}

bool NowPlayingPanelView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize
        && (watched == m_title || watched == m_artist || watched == m_album
            || watched == m_filename)) {
        elideTexts();
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace kivo
