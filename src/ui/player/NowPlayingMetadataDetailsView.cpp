#include "ui/player/NowPlayingMetadataDetailsView.h"

#include "ui/eon/EonFonts.h"
#include "ui/eon/EonMetrics.h"
#include "ui/eon/EonPalette.h"
#include "ui/eon/EonPlainLabel.h"
#include "ui/eon/PlainToolTip.h"
#include "ui/player/NowPlayingPanelPresenter.h"

#include <QGridLayout>
#include <QLabel>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

// A value on one line, cut with an ellipsis when the row is too narrow.
class DetailValue : public QLabel {
public:
    using QLabel::QLabel;

    void setFullText(const QString& text)
    {
        m_fullText = text;
        setPlainToolTip(*this, text);
        elide();
    }
    const QString& fullText() const { return m_fullText; }
    QSize minimumSizeHint() const override { return { 0, QLabel::minimumSizeHint().height() }; }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QLabel::resizeEvent(event);
        elide();
    }

private:
    void elide() { setText(fontMetrics().elidedText(m_fullText, Qt::ElideRight, width())); }

    QString m_fullText;
};

template <typename Label = QLabel>
Label* detailLabel(const QFont& font, const QColor& color, Qt::Alignment alignment, QWidget* parent)
{
    auto* label = new Label(parent);
    eonMakePlainLabel(*label, font, color);
    label->setAlignment(alignment | Qt::AlignBaseline);
    return label;
}

} // namespace

NowPlayingMetadataDetailsView::NowPlayingMetadataDetailsView(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(u"nowPlaying.details"_s);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(eon::spaceM);
    grid->setVerticalSpacing(eon::spaceM);
    grid->setColumnStretch(1, 1);
    const QList<NowPlayingDetailRow> rows = NowPlayingPanelPresenter::detailRows(Track {});
    for (int row = 0; row < rows.size(); ++row) {
        QLabel* label = detailLabel(
            eonFont(eon::textCallout, QFont::Medium), eonTextTertiary(), Qt::AlignLeft, this);
        label->setText(rows[row].label);
        DetailValue* value = detailLabel<DetailValue>(
            eonFont(eon::textCallout, QFont::DemiBold), eonTextSecondary(), Qt::AlignRight, this);
        value->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        grid->addWidget(label, row, 0, Qt::AlignBaseline);
        grid->addWidget(value, row, 1, Qt::AlignBaseline);
        m_labels.append(label);
        m_values.append(value);
    }
}

void NowPlayingMetadataDetailsView::setTrack(const Track& track)
{
    const QList<NowPlayingDetailRow> rows = NowPlayingPanelPresenter::detailRows(track);
    for (int row = 0; row < rows.size(); ++row) {
        static_cast<DetailValue*>(m_values[row])->setFullText(rows[row].value);
        m_values[row]->setAccessibleName(rows[row].label + u": "_s + rows[row].value);
    }
}

QStringList NowPlayingMetadataDetailsView::values() const
{
    QStringList texts;
    for (const QLabel* value : m_values) {
        texts << static_cast<const DetailValue*>(value)->fullText();
    }
    return texts;
}

} // namespace kivo
