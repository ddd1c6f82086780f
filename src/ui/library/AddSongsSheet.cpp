#include "ui/library/AddSongsSheet.h"

#include "ui/editing/EditingStyle.h"
#include "ui/eon/EonFonts.h"
#include "ui/eon/EonMetrics.h"
#include "ui/eon/EonPalette.h"
#include "ui/eon/EonSheetKeys.h"
#include "ui/eon/KeyModifiers.h"
#include "ui/eon/Symbols.h"
#include "ui/library/AddSongsSheetListModel.h"
#include "ui/library/AddSongsSheetModel.h"
#include "ui/library/LibraryViewStyle.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

// One song: tick, title over artist, duration.
class AddSongsRowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
        const QModelIndex& index) const override
    {
        const bool ticked = index.data(AddSongsSheetListModel::TickedRole).toBool();
        painter->save();
        if (ticked) {
            painter->fillRect(option.rect, eonWithOpacity(eonSurfaceRaised(), 0.5));
        }
        const QRect content = option.rect.adjusted(18, 0, -18, 0);
        Symbols::paint(*painter, QRectF(content.left(), content.top(), 24, content.height()),
            ticked ? u"checkmark.circle.fill"_s : u"circle"_s,
            ticked ? eonAccent() : eonTextTertiary(),
            Symbols::sizeForTextSize(eon::textSubheadline));

        const QFont durationFont = eonMonoFont(eon::textCallout, QFont::Medium);
        const QString duration = index.data(AddSongsSheetListModel::DurationRole).toString();
        const int durationWidth = QFontMetrics(durationFont).horizontalAdvance(duration);
        painter->setFont(durationFont);
        painter->setPen(eonTextTertiary());
        painter->drawText(
            QRect(content.right() - durationWidth, content.top(), durationWidth, content.height()),
            Qt::AlignVCenter | Qt::AlignRight, duration);

        const QFont titleFont = eonFont(eon::textSubheadline, QFont::DemiBold);
        const QFont artistFont = eonFont(eon::textCallout, QFont::Medium);
        const QFontMetrics titleMetrics(titleFont);
        const QFontMetrics artistMetrics(artistFont);
        const int left = content.left() + 24 + 12;
        const int width = content.right() - durationWidth - 12 - left;
        const int top = content.top()
            + (content.height() - titleMetrics.height() - 3 - artistMetrics.height()) / 2;
        painter->setFont(titleFont);
        painter->setPen(eonTextPrimary());
        painter->drawText(QRect(left, top, width, titleMetrics.height()), Qt::AlignLeft,
            titleMetrics.elidedText(index.data().toString(), Qt::ElideRight, width));
        painter->setFont(artistFont);
        painter->setPen(eonTextSecondary());
        painter->drawText(
            QRect(left, top + titleMetrics.height() + 3, width, artistMetrics.height()),
            Qt::AlignLeft,
            artistMetrics.elidedText(
                index.data(AddSongsSheetListModel::ArtistRole).toString(), Qt::ElideRight, width));
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override
    {
        return { option.rect.width(), 46 };
    }
};

} // namespace

AddSongsSheet::AddSongsSheet(AddSongsSheetModel& model, QWidget* parent)
    : QDialog(parent)
    , m_model(model)
    , m_rows(new AddSongsSheetListModel(model, this))
{
    setObjectName(u"addSongsSheet"_s);
    setWindowTitle(u"Add Songs"_s);
    setFixedSize(520, 540);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, eonSurface());
    setPalette(palette);
    setAutoFillBackground(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* header = new QHBoxLayout;
    header->setContentsMargins(eon::space3XL, eon::space3XL, eon::space3XL, eon::space3XL);
    header->addWidget(library::sheetTitle(u"Add Songs"_s, this));
    header->addStretch(1);
    auto* cancel = editing::button(u"Cancel"_s, false, this);
    header->addWidget(cancel);
    layout->addLayout(header);
    layout->addWidget(editing::divider(this));

    m_list = new QListView(this);
    m_list->setObjectName(u"addSongsList"_s);
    m_list->setModel(m_rows);
    m_list->setItemDelegate(new AddSongsRowDelegate(m_list));
    m_list->setUniformItemSizes(true);
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    m_list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setStyleSheet(u"QListView { background: transparent; padding: 8px 0px; }"_s);
    layout->addWidget(m_list, 1);
    layout->addWidget(editing::divider(this));

    auto* footer = new QHBoxLayout;
    footer->setContentsMargins(eon::space3XL, eon::space3XL, eon::space3XL, eon::space3XL);
    m_count
        = editing::plainLabel({}, eonFont(eon::textBody, QFont::Medium), eonTextSecondary(), this);
    m_count->setObjectName(u"addSongsCount"_s);
    footer->addWidget(m_count);
    footer->addStretch(1);
    m_add = editing::button(u"Add"_s, true, this);
    footer->addWidget(m_add);
    layout->addLayout(footer);

    connect(m_list, &QListView::clicked, this, [this](const QModelIndex& index) {
        m_model.toggle(index.data(AddSongsSheetListModel::IdRole).toUuid());
    });
    connect(cancel, &QPushButton::clicked, &m_model, &AddSongsSheetModel::cancel);
    connect(m_add, &QPushButton::clicked, &m_model, &AddSongsSheetModel::add);
    new EonSheetKeys(
        this, [this] { reject(); }, m_add);
    connect(&m_model, &AddSongsSheetModel::changed, this, &AddSongsSheet::refresh);
    connect(&m_model, &AddSongsSheetModel::openChanged, this, [this](bool open) {
        if (!open) {
            QDialog::reject();
        }
    });
    refresh();
}

void AddSongsSheet::present()
{
    setWindowModality(Qt::WindowModal);
    open();
}

void AddSongsSheet::reject()
{
    // Escape and the window manager's close cancel like the button.
    m_model.cancel();
    QDialog::reject();
}

void AddSongsSheet::refresh()
{
    m_count->setText(m_model.countText());
    m_add->setEnabled(m_model.canAdd());
}

} // namespace kivo
