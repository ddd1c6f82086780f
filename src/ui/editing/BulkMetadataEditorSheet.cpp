#include "ui/editing/BulkMetadataEditorSheet.h"

#include "model/StartDetached.h"
#include "ui/editing/ArtworkPreview.h"
#include "ui/editing/EditingStyle.h"
#include "ui/editing/ImageFileChooser.h"
#include "ui/editing/StarRow.h"
#include "ui/eon/EonCard.h"
#include "ui/eon/EonFonts.h"
#include "ui/eon/EonMetrics.h"
#include "ui/eon/EonPalette.h"
#include "ui/eon/EonSymbolButton.h"
#include "ui/eon/Symbols.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

constexpr int sheetWidth = 620;
constexpr int sheetHeight = 700;

QColor toggleColor(bool on)
{
    return on ? eonAccent() : eonTextTertiary();
}

void colourToggle(QCheckBox* toggle, bool on)
{
    QPalette palette = toggle->palette();
    palette.setColor(QPalette::WindowText, toggleColor(on));
    toggle->setPalette(palette);
}

QCheckBox* makeToggle(const QString& title, QWidget* parent)
{
    auto* toggle = new QCheckBox(title.toUpper(), parent);
    toggle->setAccessibleName(title);
    toggle->setFont(eonFont(eon::textCaption, QFont::DemiBold));
    colourToggle(toggle, false);
    return toggle;
}

} // namespace

BulkMetadataEditorSheet::BulkMetadataEditorSheet(const QList<Track>& tracks,
    std::optional<QString> errorMessage, bool isSaving, ImageFileChooser* chooser,
    SharedEditorForm::FileLoader loader, QWidget* parent)
    : EditorSheet(parent)
    , m_form(new SharedEditorForm(tracks, std::move(loader), this))
    , m_chooser(chooser)
{
    if (!m_chooser) {
        m_ownChooser = std::make_unique<DialogImageFileChooser>();
        m_chooser = m_ownChooser.get();
    }
    m_form->setErrorMessage(errorMessage);
    m_form->setSaving(isSaving);
    setObjectName(u"sharedMetadata"_s);
    setWindowTitle(u"Edit Shared Metadata"_s);
    setFixedSize(sheetWidth, sheetHeight);
    setAutoFillBackground(true);
    QPalette sheetPalette = palette();
    sheetPalette.setColor(QPalette::Window, eonSurface());
    setPalette(sheetPalette);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    // Header
    auto* header = new QHBoxLayout;
    header->setContentsMargins(eon::space3XL, eon::space3XL, eon::space3XL, eon::space3XL);
    header->setSpacing(eon::spaceXL);
    auto* titles = new QVBoxLayout;
    titles->setSpacing(eon::titleLineSpacing);
    titles->addWidget(editing::plainLabel(
        u"Edit Shared Metadata"_s, eonFont(eon::textTitle, QFont::Bold), eonTextPrimary()));
    titles->addWidget(editing::plainLabel(
        m_form->subtitle(), eonFont(eon::textCallout, QFont::Medium), eonTextTertiary()));
    header->addLayout(titles);
    header->addStretch(1);
    m_close = new EonSymbolButton(u"xmark"_s, 12, eonTextSecondary(), this);
    m_close->setObjectName(u"sharedMetadata.close"_s);
    m_close->setAccessibleName(u"Close shared metadata editor"_s);
    m_close->setFixedSize(28, 28);
    connect(m_close, &QAbstractButton::clicked, this, &BulkMetadataEditorSheet::requestCancel);
    header->addWidget(m_close);
    outer->addLayout(header);
    outer->addWidget(editing::divider(this));

    // Body
    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // Tab goes to the fields, and the body scrolls to the one it reaches.
    scroll->setFocusPolicy(Qt::NoFocus);
    auto* body = new QWidget(scroll);
    body->setAutoFillBackground(true);
    body->setPalette(sheetPalette);
    scroll->setWidget(body);
    outer->addWidget(scroll, 1);
    auto* column = new QVBoxLayout(body);
    column->setContentsMargins(eon::space4XL, eon::space4XL, eon::space4XL, eon::space4XL);
    column->setSpacing(eon::space2XL);
    QLabel* hint = editing::plainLabel(
        u"Enable a field to apply it to every selected song. Disabled fields, existing artwork, "
        "and song-specific metadata remain untouched."_s,
        eonFont(eon::textCallout, QFont::Medium), eonTextSecondary(), body);
    hint->setWordWrap(true);
    column->addWidget(hint);
    column->addWidget(buildArtworkCard());

    auto* grid = new QGridLayout;
    grid->setVerticalSpacing(14);
    grid->setHorizontalSpacing(eon::spaceXL);
    const std::pair<Field, QString> cells[] = {
        { Field::artist, u"Artist"_s },
        { Field::album, u"Album"_s },
        { Field::albumArtist, u"Album Artist"_s },
        { Field::genre, u"Genre"_s },
        { Field::year, u"Year"_s },
        { Field::discNumber, u"Disc #"_s },
        { Field::composer, u"Composer"_s },
        { Field::bpm, u"BPM"_s },
    };
    int index = 0;
    for (const auto& [field, title] : cells) {
        grid->addWidget(fieldCell(field, title), index / 2, index % 2);
        ++index;
    }
    column->addLayout(grid);

    // Rating
    auto* rating = new QVBoxLayout;
    rating->setSpacing(eon::spaceM);
    m_ratingToggle = makeToggle(u"Rating"_s, body);
    m_ratingToggle->setObjectName(u"sharedMetadata.ratingToggle"_s);
    connect(m_ratingToggle, &QCheckBox::toggled, m_form, &SharedEditorForm::setRatingApplied);
    rating->addWidget(m_ratingToggle);
    auto* stars = new QHBoxLayout;
    stars->setSpacing(editing::captionGap);
    m_stars = new StarRow(13, 7, body);
    m_stars->setObjectName(u"sharedMetadata.rating"_s);
    connect(m_stars, &StarRow::tapped, m_form, &SharedEditorForm::tapStar);
    stars->addWidget(m_stars);
    m_mixedRating = editing::plainLabel(
        u"Mixed"_s, eonFont(eon::textCallout, QFont::Medium), eonTextTertiary(), body);
    stars->addWidget(m_mixedRating);
    stars->addStretch(1);
    rating->addLayout(stars);
    column->addLayout(rating);

    // Comments
    auto* comments = new QVBoxLayout;
    comments->setSpacing(editing::captionGap);
    QCheckBox* commentsToggle = makeToggle(u"Comments"_s, body);
    comments->addWidget(commentsToggle);
    m_comments = new QPlainTextEdit(m_form->field(Field::comments).value, body);
    m_comments->setObjectName(u"sharedMetadata.comments"_s);
    m_comments->setAccessibleName(u"Comments"_s);
    m_comments->setFixedHeight(92);
    m_comments->setTabChangesFocus(true);
    m_comments->document()->setDocumentMargin(8);
    connect(commentsToggle, &QCheckBox::toggled, this,
        [this](bool on) { m_form->setApplied(Field::comments, on); });
    connect(m_comments, &QPlainTextEdit::textChanged, this,
        [this] { m_form->setValue(Field::comments, m_comments->toPlainText()); });
    m_cells.insert(Field::comments, { commentsToggle, m_comments });
    comments->addWidget(m_comments);
    column->addLayout(comments);

    m_message = editing::plainLabel(QString(), eonFont(eon::textCallout, QFont::Medium),
        eonWithOpacity(eonErrorText(), 0.9), body);
    m_message->setObjectName(u"sharedMetadata.message"_s);
    m_message->setWordWrap(true);
    column->addWidget(m_message);
    column->addStretch(1);

    outer->addWidget(editing::divider(this));

    // Footer
    auto* footer = new QHBoxLayout;
    footer->setContentsMargins(eon::space3XL, eon::space3XL, eon::space3XL, eon::space3XL);
    footer->setSpacing(eon::spaceL);
    footer->addStretch(1);
    m_cancel = editing::button(u"Cancel"_s, false, this);
    m_cancel->setObjectName(u"sharedMetadata.cancel"_s);
    connect(m_cancel, &QPushButton::clicked, this, &BulkMetadataEditorSheet::requestCancel);
    footer->addWidget(m_cancel);
    m_apply = editing::button(QString(), true, this);
    m_apply->setObjectName(u"sharedMetadata.apply"_s);
    connect(m_apply, &QPushButton::clicked, this, &BulkMetadataEditorSheet::apply);
    footer->addWidget(m_apply);
    outer->addLayout(footer);

    installKeys(m_apply);

    connect(m_form, &SharedEditorForm::changed, this, &BulkMetadataEditorSheet::refresh);
    refresh();
}

BulkMetadataEditorSheet::~BulkMetadataEditorSheet() = default;

QWidget* BulkMetadataEditorSheet::fieldCell(Field field, const QString& title)
{
    auto* cell = new QWidget;
    auto* column = new QVBoxLayout(cell);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(editing::captionGap);
    QCheckBox* toggle = makeToggle(title, cell);
    connect(toggle, &QCheckBox::toggled, this,
        [this, field](bool on) { m_form->setApplied(field, on); });
    column->addWidget(toggle);
    auto* edit = new QLineEdit(m_form->field(field).value, cell);
    edit->setAccessibleName(title);
    edit->setPlaceholderText(m_form->placeholder(field));
    edit->setFixedHeight(34);
    edit->setTextMargins(10, 0, 10, 0);
    connect(edit, &QLineEdit::textChanged, this,
        [this, field](const QString& text) { m_form->setValue(field, text); });
    column->addWidget(edit);
    m_cells.insert(field, { toggle, edit });
    return cell;
}

QWidget* BulkMetadataEditorSheet::buildArtworkCard()
{
    auto* card = new EonCard(0.42);
    card->setObjectName(u"sharedMetadata.artwork"_s);
    card->setAccessibleName(u"Album artwork"_s);
    auto* row = new QHBoxLayout(card);
    row->setContentsMargins(eon::spaceXL, eon::spaceXL, eon::spaceXL, eon::spaceXL);
    row->setSpacing(14);
    m_preview = new ArtworkPreview(82, 8, u"photo.on.rectangle.angled"_s, 24, 0.035, card);
    row->addWidget(m_preview);
    auto* column = new QVBoxLayout;
    column->setSpacing(editing::captionGap);
    m_artworkHeading = editing::plainLabel(
        u"ALBUM ARTWORK"_s, eonFont(eon::textCaption, QFont::DemiBold), eonTextTertiary(), card);
    column->addWidget(m_artworkHeading);
    m_artworkExplanation = editing::plainLabel(
        QString(), eonFont(eon::textFootnote, QFont::Medium), eonTextSecondary(), card);
    m_artworkExplanation->setWordWrap(true);
    column->addWidget(m_artworkExplanation);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(eon::spaceM);
    m_chooseArtwork = editing::button(QString(), false, card);
    m_chooseArtwork->setObjectName(u"sharedMetadata.chooseArtwork"_s);
    m_chooseArtwork->setIcon(QIcon(Symbols::pixmap(
        u"photo.badge.plus"_s, eonTextPrimary(), Symbols::sizeForTextSize(eon::textBody), 18, 2)));
    connect(m_chooseArtwork, &QPushButton::clicked, this, &BulkMetadataEditorSheet::chooseArtwork);
    buttons->addWidget(m_chooseArtwork);
    m_keepExisting = editing::button(u"Keep Existing"_s, false, card);
    m_keepExisting->setObjectName(u"sharedMetadata.keepExisting"_s);
    m_keepExisting->setToolTip(u"Cancel the pending artwork replacement"_s);
    connect(m_keepExisting, &QPushButton::clicked, m_form, &SharedEditorForm::keepExistingArtwork);
    buttons->addWidget(m_keepExisting);
    buttons->addStretch(1);
    column->addLayout(buttons);
    row->addLayout(column, 1);
    return card;
}

void BulkMetadataEditorSheet::refresh()
{
    const bool saving = m_form->isSaving();
    for (auto it = m_cells.cbegin(); it != m_cells.cend(); ++it) {
        const AppliedTextMetadataDraft& draft = m_form->field(it.key());
        colourToggle(it->toggle, draft.isApplied);
        // The form may change without the widgets (a presenter, the gallery).
        it->toggle->setChecked(draft.isApplied);
        if (auto* line = qobject_cast<QLineEdit*>(it->editor);
            line && line->text() != draft.value) {
            line->setText(draft.value);
        } else if (auto* text = qobject_cast<QPlainTextEdit*>(it->editor);
                   text && text->toPlainText() != draft.value) {
            text->setPlainText(draft.value);
        }
        it->editor->setEnabled(m_form->isEditable(it.key()));
        editing::styleField(it->editor, draft.isApplied ? 0.07 : 0.035,
            draft.isApplied ? eonWithOpacity(eonAccent(), 0.28) : eonHairline(), 6,
            eonFont(eon::textBody, QFont::Medium));
    }
    colourToggle(m_ratingToggle, m_form->draft().isRatingApplied);
    m_ratingToggle->setChecked(m_form->draft().isRatingApplied);
    m_stars->setLit(m_form->litStars());
    m_stars->setEnabled(m_form->starsEnabled());
    m_mixedRating->setVisible(m_form->showsMixedRating());

    const bool replacing = m_form->hasReplacementArtwork();
    m_preview->setArtwork(m_form->draft().replacementArtworkData);
    m_preview->setOutline(replacing ? eonWithOpacity(eonAccent(), 0.38) : eonHairline());
    QPalette heading = m_artworkHeading->palette();
    heading.setColor(QPalette::WindowText, replacing ? eonAccent() : eonTextTertiary());
    m_artworkHeading->setPalette(heading);
    m_artworkExplanation->setText(m_form->artworkExplanation());
    m_chooseArtwork->setText(
        m_form->isLoadingArtwork() ? u"Loading…"_s : m_form->chooseArtworkLabel());
    m_chooseArtwork->setEnabled(m_form->artworkButtonsEnabled());
    m_keepExisting->setVisible(replacing);
    m_keepExisting->setEnabled(m_form->artworkButtonsEnabled());

    const std::optional<QString> message = m_form->message();
    m_message->setText(message.value_or(QString()));
    m_message->setVisible(message.has_value());
    m_close->setEnabled(!saving);
    m_cancel->setEnabled(!saving);
    m_apply->setText(m_form->applyLabel());
    m_apply->setEnabled(m_form->canApply());
}

void BulkMetadataEditorSheet::dismiss()
{
    done(QDialog::Accepted);
}

void BulkMetadataEditorSheet::setSaving(bool saving)
{
    m_form->setSaving(saving);
}

void BulkMetadataEditorSheet::setErrorMessage(const std::optional<QString>& message)
{
    m_form->setErrorMessage(message);
}

void BulkMetadataEditorSheet::apply()
{
    if (const auto patch = m_form->applyPatch()) {
        Q_EMIT applyRequested(*patch);
    }
}

bool BulkMetadataEditorSheet::refusesCancel() const
{
    return m_form->isSaving();
}

void BulkMetadataEditorSheet::chooseArtwork()
{
    if (!m_form->artworkButtonsEnabled()) {
        return;
    }
    m_form->beginChoosingArtwork();
    const QPointer<BulkMetadataEditorSheet> self(this);
    m_chooser->chooseImage(this, [self](QUrl url) {
        if (self && url.isValid()) {
            startDetached(self->m_form->loadArtwork(url));
        }
    });
}

} // namespace kivo
