#include "ui/player/NowPlayingMetadataDetailsView.h"

#include "ui/eon/EonFonts.h"
#include "ui/eon/EonPalette.h"
#include "ui/player/NowPlayingPanelPresenter.h"

#include <QGridLayout>
#include <QLabel>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

QLabel* detailLabel(
    const QFont& font, const QColor& color, Qt::Alignment alignment, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    label->setAlignment(alignment | Qt::AlignBaseline);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
    return label;
}

} // namespace

NowPlayingMetadataDetailsView::NowPlayingMetadataDetailsView(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(u"nowPlaying.details"_s);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(8);
    grid->setColumnStretch(1, 1);
    const QList<NowPlayingDetailRow> rows = NowPlayingPanelPresenter::detailRows(Track {});
    for (int row = 0; row < rows.size(); ++row) {
        QLabel* label
            = detailLabel(eonFont(12, QFont::Medium), eonTextTertiary(), Qt::AlignLeft, this);
        label->setText(rows[row].label);
        QLabel* value
            = detailLabel(eonFont(12, QFont::DemiBold), eonTextSecondary(), Qt::AlignRight, this);
        // Long values are cut by the layout rather than widening the panel.
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
        m_values[row]->setText(rows[row].value);
        m_values[row]->setToolTip(rows[row].value.toHtmlEscaped());
        m_values[row]->setAccessibleName(rows[row].label + u": "_s + rows[row].value);
    }
}

QStringList NowPlayingMetadataDetailsView::values() const
{
    QStringList texts;
    for (const QLabel* value : m_values) {
        texts << value->text();
    }
    return texts;
}

} // namespace kivo
