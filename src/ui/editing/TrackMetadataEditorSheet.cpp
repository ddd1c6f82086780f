#include "ui/editing/TrackMetadataEditorSheet.h"

#include "engines/artwork/ArtworkCache.h"
#include "model/StartDetached.h"
#include "ui/editing/ArtworkPreview.h"
#include "ui/editing/EditingStyle.h"
#include "ui/editing/ImageFileChooser.h"
#include "ui/editing/StarRow.h"
#include "ui/eon/EonFonts.h"
#include "ui/eon/EonMetrics.h"
#include "ui/eon/EonPalette.h"
#include "ui/eon/EonSymbolButton.h"
#include "ui/eon/Symbols.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

constexpr int sheetWidth = 500;
constexpr int sheetHeight = 640;
constexpr double fieldFill = 0.055;

QIcon symbolIcon(const QString& name, const QColor& color)
{
    return QIcon(Symbols::pixmap(name, color, Symbols::sizeForTextSize(eon::textBody), 18, 2));
}

} // namespace

TrackMetadataEditorSheet::TrackMetadataEditorSheet(Track track, std::optional<QString> errorMessage,
    Services services, SaveAction onSave, QWidget* parent)
    : EditorSheet(parent)
    , m_form(track)
    , m_artwork(new SongArtworkEditor(
          std::move(track), services.cache, services.metadata, std::move(services.loader), this))
    , m_cache(&services.cache)
    , m_chooser(services.chooser)
    , m_onSave(std::move(onSave))
{
    if (!m_chooser) {
        m_ownChooser = std::make_unique<DialogImageFileChooser>();
        m_chooser = m_ownChooser.get();
    }
    setObjectName(u"metadataEditor"_s);
    setWindowTitle(u"Edit Metadata"_s);
    setFixedSize(sheetWidth, sheetHeight);
    setAutoFillBackground(true);
    QPalette sheetPalette = palette();
    sheetPalette.setColor(QPalette::Window, eonSurface());
    setPalette(sheetPalette);

    // The title and the buttons stay in view; only the fields between them scroll.
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    // Header
    auto* header = new QHBoxLayout;
    header->setContentsMargins(24, 20, 24, 14);
    header->addWidget(editing::plainLabel(
        u"Edit Metadata"_s, eonFont(eon::textTitle, QFont::Bold), eonTextPrimary()));
    header->addStretch(1);
    auto* close = new EonSymbolButton(u"xmark"_s, 12, eonTextSecondary(), this);
    close->setObjectName(u"metadataEditor.close"_s);
    close->setAccessibleName(u"Close"_s);
    close->setFixedSize(28, 28);
    connect(close, &QAbstractButton::clicked, this, &TrackMetadataEditorSheet::cancelRequested);
    header->addWidget(close);
    outer->addLayout(header);

    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // Tab goes to the fields, and the body scrolls to the one it reaches.
    scroll->setFocusPolicy(Qt::NoFocus);
    outer->addWidget(scroll, 1);
    auto* body = new QWidget(scroll);
    body->setAutoFillBackground(true);
    body->setPalette(sheetPalette);
    scroll->setWidget(body);
    auto* column = new QVBoxLayout(body);
    column->setContentsMargins(eon::space4XL, eon::spaceM, eon::space4XL, eon::space2XL);
    column->setSpacing(eon::sheetSectionSpacing);

    column->addWidget(buildArtworkSection());

    // Fields
    auto* fields = new QVBoxLayout;
    fields->setSpacing(eon::spaceXL);
    addField(fields, u"Title"_s, &m_form.title, u"title"_s);
    addField(fields, u"Artist"_s, &m_form.artist, u"artist"_s);
    addField(fields, u"Album"_s, &m_form.album, u"album"_s);
    addField(fields, u"Album Artist"_s, &m_form.albumArtist, u"albumArtist"_s);
    auto* threes = new QHBoxLayout;
    threes->setSpacing(eon::spaceXL);
    addField(threes, u"Genre"_s, &m_form.genre, u"genre"_s);
    addField(threes, u"Year"_s, &m_form.year, u"year"_s);
    addField(threes, u"Track #"_s, &m_form.trackNumber, u"trackNumber"_s);
    fields->addLayout(threes);
    auto* twos = new QHBoxLayout;
    twos->setSpacing(eon::spaceXL);
    addField(twos, u"Duration"_s, &m_form.duration, u"duration"_s);
    addField(twos, u"BPM"_s, &m_form.bpm, u"bpm"_s);
    fields->addLayout(twos);

    auto* rating = new QVBoxLayout;
    rating->setSpacing(editing::captionGap);
    rating->addWidget(editing::caption(u"Rating"_s));
    m_stars = new StarRow(15, 6, body);
    m_stars->setObjectName(u"metadataEditor.rating"_s);
    connect(m_stars, &StarRow::tapped, this, [this](int n) {
        m_form.tapStar(n);
        refresh();
    });
    rating->addWidget(m_stars);
    fields->addLayout(rating);
    fields->setAlignment(rating, Qt::AlignHCenter);
    column->addLayout(fields);

    // Lyrics
    auto* lyrics = new QVBoxLayout;
    lyrics->setSpacing(editing::captionGap);
    lyrics->addWidget(editing::caption(u"Lyrics"_s));
    m_lyrics = new QPlainTextEdit(m_form.lyrics, body);
    m_lyrics->setObjectName(u"metadataEditor.lyrics"_s);
    m_lyrics->setAccessibleName(u"Lyrics"_s);
    m_lyrics->setFixedHeight(130);
    m_lyrics->setTabChangesFocus(true);
    editing::styleField(m_lyrics, fieldFill, eonHairline(), eon::controlCornerRadius,
        eonMonoFont(eon::textBody, QFont::Medium));
    m_lyrics->document()->setDocumentMargin(8);
    connect(m_lyrics, &QPlainTextEdit::textChanged, this,
        [this] { m_form.lyrics = m_lyrics->toPlainText(); });
    lyrics->addWidget(m_lyrics);
    column->addLayout(lyrics);
    column->addStretch(1);

    auto* footer = new QVBoxLayout;
    footer->setContentsMargins(eon::space4XL, eon::spaceXL, eon::space4XL, eon::space3XL);
    footer->setSpacing(eon::spaceL);
    m_errorLine = editing::plainLabel(QString(), eonFont(eon::textCallout, QFont::Medium),
        eonWithOpacity(eonErrorText(), 0.88), this);
    m_errorLine->setObjectName(u"metadataEditor.error"_s);
    m_errorLine->setWordWrap(true);
    m_errorLine->setMaximumHeight(m_errorLine->fontMetrics().lineSpacing() * 3);
    footer->addWidget(m_errorLine);

    // Buttons
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(eon::spaceL);
    buttons->addStretch(1);
    QPushButton* cancel = editing::button(u"Cancel"_s, false, this);
    cancel->setObjectName(u"metadataEditor.cancel"_s);
    connect(cancel, &QPushButton::clicked, this, &TrackMetadataEditorSheet::cancelRequested);
    buttons->addWidget(cancel);
    m_save = editing::button(u"Save"_s, true, this);
    m_save->setObjectName(u"metadataEditor.save"_s);
    connect(m_save, &QPushButton::clicked, this, &TrackMetadataEditorSheet::save);
    buttons->addWidget(m_save);
    footer->addLayout(buttons);
    outer->addWidget(editing::divider(this));
    outer->addLayout(footer);

    installKeys(m_save);

    connect(
        m_artwork, &SongArtworkEditor::artworkChanged, this, &TrackMetadataEditorSheet::refresh);
    setErrorMessage(errorMessage);
    refresh();
}

TrackMetadataEditorSheet::~TrackMetadataEditorSheet() = default;

QLineEdit* TrackMetadataEditorSheet::addField(
    QBoxLayout* layout, const QString& caption, QString* state, const QString& name)
{
    auto* box = new QVBoxLayout;
    box->setSpacing(editing::captionGap);
    box->addWidget(editing::caption(caption));
    auto* field = new QLineEdit(*state);
    field->setObjectName(u"metadataEditor."_s + name);
    field->setAccessibleName(caption);
    field->setFixedHeight(34);
    field->setTextMargins(10, 0, 10, 0);
    editing::styleField(field, fieldFill, eonHairline(), eon::controlCornerRadius,
        eonFont(eon::textSubheadline, QFont::Medium));
    connect(field, &QLineEdit::textChanged, this, [this, state](const QString& text) {
        *state = text;
        refresh();
    });
    box->addWidget(field);
    layout->addLayout(box, 1);
    return field;
}

QWidget* TrackMetadataEditorSheet::buildArtworkSection()
{
    auto* section = new QWidget;
    auto* column = new QVBoxLayout(section);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(eon::spaceXL);
    column->addWidget(editing::caption(u"Artwork"_s));
    auto* row = new QHBoxLayout;
    row->setSpacing(eon::space2XL);
    m_preview = new ArtworkPreview(120, 8, u"music.note.list"_s, 32 / 1.4, 0.06, section);
    m_preview->setObjectName(u"metadataEditor.artwork"_s);
    row->addWidget(m_preview);
    auto* buttons = new QVBoxLayout;
    buttons->setSpacing(eon::spaceL);
    buttons->addStretch(1);
    QPushButton* choose = editing::button(u"Choose Artwork..."_s, false, section);
    choose->setObjectName(u"metadataEditor.chooseArtwork"_s);
    choose->setIcon(symbolIcon(u"photo.badge.plus"_s, eonTextPrimary()));
    connect(choose, &QPushButton::clicked, this, &TrackMetadataEditorSheet::chooseArtwork);
    buttons->addWidget(choose, 0, Qt::AlignLeft);
    m_removeArtwork = editing::button(u"Remove Artwork"_s, false, section);
    m_removeArtwork->setObjectName(u"metadataEditor.removeArtwork"_s);
    const QColor red = eonWithOpacity(eonErrorText(), 0.86);
    m_removeArtwork->setIcon(symbolIcon(u"trash"_s, red));
    m_removeArtwork->setStyleSheet(m_removeArtwork->styleSheet()
        + u" QPushButton { color: %1; }"_s.arg(red.name(QColor::HexArgb)));
    connect(m_removeArtwork, &QPushButton::clicked, m_artwork, &SongArtworkEditor::remove);
    buttons->addWidget(m_removeArtwork, 0, Qt::AlignLeft);
    buttons->addStretch(1);
    row->addLayout(buttons);
    row->addStretch(1);
    column->addLayout(row);
    return section;
}

void TrackMetadataEditorSheet::refresh()
{
    m_stars->setLit(m_form.litStars());
    m_preview->setArtwork(m_artwork->artworkData());
    m_removeArtwork->setVisible(m_artwork->artworkData().has_value());
    m_save->setEnabled(canSave());
}

bool TrackMetadataEditorSheet::canSave() const
{
    return m_form.canSave() && !m_isSaving;
}

void TrackMetadataEditorSheet::present()
{
    EditorSheet::present();
    if (!m_loadStarted) {
        m_loadStarted = true;
        startDetached(m_artwork->load()); // runs on by itself, dropped if the sheet goes
    }
}

void TrackMetadataEditorSheet::dismiss()
{
    done(QDialog::Rejected);
}

void TrackMetadataEditorSheet::setErrorMessage(const std::optional<QString>& message)
{
    m_errorLine->setText(message.value_or(QString()));
    m_errorLine->setVisible(message.has_value());
}

void TrackMetadataEditorSheet::chooseArtwork()
{
    const QPointer<TrackMetadataEditorSheet> self(this);
    m_chooser->chooseImage(this, [self](QUrl url) {
        if (self && url.isValid()) {
            startDetached(self->m_artwork->choose(url));
        }
    });
}

void TrackMetadataEditorSheet::save()
{
    if (!canSave()) {
        return;
    }
    const std::optional<Track> edited = m_form.editedTrack();
    startDetached(runSave(*edited, m_artwork->commitPlan()));
}

QCoro::Task<> TrackMetadataEditorSheet::runSave(Track edited, ArtworkCommit plan)
{
    const QPointer<TrackMetadataEditorSheet> self(this);
    m_isSaving = true;
    refresh();
    // The presenter gets the song in this same turn; the artwork follows its answer.
    QCoro::Task<bool> saving
        = saveThenCommitArtwork(m_onSave, std::move(edited), std::move(plan), m_cache);
    co_await std::move(saving);
    if (self) {
        m_isSaving = false;
        refresh();
    }
}

} // namespace kivo
