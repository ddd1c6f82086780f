#include "ui/editing/InspectorView.h"

#include "ui/editing/EditingStyle.h"
#include "ui/editing/StarRow.h"
#include "ui/eon/EonElidedLabel.h"
#include "ui/eon/EonFonts.h"
#include "ui/eon/EonMetrics.h"
#include "ui/eon/EonPalette.h"
#include "ui/eon/EonSymbolView.h"

#include <QBoxLayout>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

QLabel* sectionHeader(const QString& text, QWidget* parent)
{
    QFont font = eonFont(eon::textCaption, QFont::DemiBold);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 1.2);
    return editing::plainLabel(text, font, eonTextTertiary(), parent);
}

} // namespace

InspectorView::InspectorView(const Track& track, QWidget* parent)
    : QScrollArea(parent)
    , m_model(new InspectorModel(track, this))
{
    setObjectName(u"inspector"_s);
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    auto* content = new QWidget(this);
    content->setAutoFillBackground(true);
    QPalette background = content->palette();
    background.setColor(QPalette::Window, eonWithOpacity(eonSurface(), 0.72));
    content->setPalette(background);
    setWidget(content);
    QPalette viewport = this->viewport()->palette();
    viewport.setColor(QPalette::Window, eonCanvas());
    this->viewport()->setPalette(viewport);

    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(eon::space2XL, eon::space2XL, eon::space2XL, eon::space2XL);
    column->setSpacing(eon::space4XL);

    // PROPERTIES
    auto* properties = new QVBoxLayout;
    properties->setSpacing(eon::spaceXL);
    properties->addWidget(sectionHeader(u"PROPERTIES"_s, content));
    auto* locked = new QVBoxLayout;
    locked->setSpacing(eon::spaceS);
    auto lockedRow = [&](QLabel* value, const QString& captionText) {
        auto* row = new QHBoxLayout;
        row->setAlignment(Qt::AlignTop);
        auto* lock = new EonSymbolView(u"lock.fill"_s, 10, eonTextTertiary(), content);
        lock->setFixedSize(14, 14);
        auto* lockColumn = new QVBoxLayout;
        lockColumn->setContentsMargins(0, 3, 0, 0);
        lockColumn->addWidget(lock);
        lockColumn->addStretch(1);
        row->addLayout(lockColumn);
        auto* texts = new QVBoxLayout;
        texts->setSpacing(eon::space2XS);
        texts->addWidget(value);
        texts->addWidget(editing::plainLabel(
            captionText, eonFont(eon::textCaption), eonTextTertiary(), content));
        row->addLayout(texts, 1);
        locked->addLayout(row);
    };
    m_title = editing::plainLabel(
        QString(), eonFont(eon::textHeadline, QFont::Bold), eonTextPrimary(), content);
    m_title->setObjectName(u"inspector.title"_s);
    m_title->setWordWrap(true);
    lockedRow(m_title, u"Song Title (Locked)"_s);
    m_filename = new EonElidedLabel(content);
    m_filename->setFont(eonMonoFont(eon::textCallout, QFont::Medium));
    QPalette filenameInk = m_filename->palette();
    filenameInk.setColor(QPalette::WindowText, eonTextSecondary());
    m_filename->setPalette(filenameInk);
    m_filename->setObjectName(u"inspector.filename"_s);
    lockedRow(m_filename, u"Filename (Locked)"_s);
    properties->addLayout(locked);
    column->addLayout(properties);
    column->addWidget(editing::divider(content));

    // METADATA
    auto* metadata = new QVBoxLayout;
    metadata->setSpacing(eon::space2XL);
    metadata->addWidget(sectionHeader(u"METADATA"_s, content));
    addField(metadata, u"Artist"_s, m_model->artistInput(), &InspectorModel::setArtistInput);
    addField(metadata, u"Album"_s, m_model->albumInput(), &InspectorModel::setAlbumInput);
    addField(metadata, u"Genre"_s, m_model->genreInput(), &InspectorModel::setGenreInput);
    addField(metadata, u"BPM"_s, m_model->bpmInput(), &InspectorModel::setBpmInput);
    auto* rating = new QVBoxLayout;
    rating->setSpacing(eon::spaceS);
    rating->addWidget(editing::plainLabel(
        u"RATING"_s, eonFont(eon::textMicro, QFont::Bold), eonTextTertiary(), content));
    m_stars = new StarRow(10, 4, content);
    m_stars->setObjectName(u"inspector.rating"_s);
    connect(m_stars, &StarRow::tapped, m_model, &InspectorModel::tapStar);
    rating->addWidget(m_stars, 0, Qt::AlignLeft);
    metadata->addLayout(rating);
    column->addLayout(metadata);
    column->addWidget(editing::divider(content));

    // TECHNICAL
    auto* technical = new QVBoxLayout;
    technical->setSpacing(eon::spaceXL);
    technical->addWidget(sectionHeader(u"TECHNICAL"_s, content));
    auto* rows = new QVBoxLayout;
    rows->setSpacing(eon::spaceM);
    auto technicalRow = [&](const QString& label) {
        auto* row = new QHBoxLayout;
        row->addWidget(
            editing::plainLabel(label, eonFont(eon::textCallout), eonTextSecondary(), content));
        row->addStretch(1);
        QLabel* value = editing::plainLabel(
            QString(), eonMonoFont(eon::textCallout, QFont::Medium), eonTextPrimary(), content);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        row->addWidget(value, 1);
        rows->addLayout(row);
        return value;
    };
    m_format = technicalRow(u"Format"_s);
    m_bitrate = technicalRow(u"Bitrate"_s);
    m_sampleRate = technicalRow(u"Sample Rate"_s);
    m_duration = technicalRow(u"Duration"_s);
    m_dateAdded = technicalRow(u"Date Added"_s);
    technical->addLayout(rows);
    column->addLayout(technical);
    column->addStretch(1);

    connect(m_model, &InspectorModel::trackEdited, this, [this](const Track& edited) {
        refresh();
        Q_EMIT trackEdited(edited);
    });
    refresh();
}

QLineEdit* InspectorView::addField(QVBoxLayout* layout, const QString& title, const QString& text,
    void (InspectorModel::*setter)(const QString&))
{
    auto* block = new QVBoxLayout;
    block->setSpacing(eon::spaceS);
    block->addWidget(editing::plainLabel(
        title.toUpper(), eonFont(eon::textMicro, QFont::Bold), eonTextTertiary()));
    auto* field = new QLineEdit(text);
    field->setObjectName(u"inspector."_s + title.toLower());
    field->setAccessibleName(title);
    field->setTextMargins(8, 6, 8, 6);
    editing::styleField(field, 0.045, eonHairline(), eon::compactCornerRadius,
        eonFont(eon::textBody, QFont::Medium));
    connect(field, &QLineEdit::textChanged, m_model, setter);
    block->addWidget(field);
    layout->addLayout(block);
    return field;
}

void InspectorView::setTrack(const Track& track)
{
    m_model->setTrack(track);
    refresh();
}

void InspectorView::refresh()
{
    const Track& track = m_model->track();
    m_title->setText(track.title);
    m_filename->setText(track.filename);
    m_stars->setLit(static_cast<int>(Track::clampedRating(m_model->ratingInput())));
    m_format->setText(m_model->formatText());
    m_bitrate->setText(m_model->bitrateText());
    m_sampleRate->setText(m_model->sampleRateText());
    m_duration->setText(m_model->durationText());
    m_dateAdded->setText(m_model->dateAddedText());
}

} // namespace kivo
