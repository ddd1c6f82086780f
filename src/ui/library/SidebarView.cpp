#include "ui/library/SidebarView.h"

#include "ui/editing/EditingStyle.h"
#include "ui/eon/EonFonts.h"
#include "ui/eon/EonMetrics.h"
#include "ui/eon/EonPalette.h"
#include "ui/eon/EonPressButtonStyle.h"
#include "ui/eon/EonSymbolButton.h"
#include "ui/eon/Symbols.h"
#include "ui/library/NewPlaylistSheet.h"
#include "ui/library/PlaylistRenameSheet.h"
#include "ui/library/SidebarListView.h"
#include "ui/library/SidebarRowDelegate.h"
#include "ui/library/SidebarRowListModel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

// The round amber logo with its waveform.
class BrandLogo : public QWidget {
public:
    explicit BrandLogo(QWidget* parent)
        : QWidget(parent)
    {
        setFixedSize(34 + 20, 34 + 20); // room for the glow
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF circle(10, 10, 34, 34);
        for (int ring = 10; ring >= 1; ring -= 2) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(eonWithOpacity(eonAccent(), 0.34 / 10));
            painter.drawEllipse(circle.adjusted(-ring, -ring, ring, ring));
        }
        painter.setBrush(QBrush(eonAccentGradient().toLinearGradient(layoutDirection())));
        painter.drawEllipse(circle);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(eonWithOpacity(eonAccentBright(), 0.65), 1));
        painter.drawEllipse(circle.adjusted(0.5, 0.5, -0.5, -0.5));
        Symbols::paint(painter, circle, u"waveform"_s, eonCanvas(),
            Symbols::sizeForTextSize(eon::textSubheadline));
    }
};

// "Settings" with its gear, on a shaded, outlined rounded rectangle.
class SettingsButton : public EonPressButton {
public:
    explicit SettingsButton(QWidget* parent)
        : EonPressButton(parent)
    {
        setObjectName(u"sidebarSettings"_s);
        setText(u"Settings"_s);
        setAccessibleName(u"Settings"_s);
        setFixedHeight(38);
        setCursor(Qt::PointingHandCursor);
    }

protected:
    void paintLabel(QPainter& painter, const QRectF& bounds) override
    {
        QPainterPath shape;
        shape.addRoundedRect(
            bounds.adjusted(0.5, 0.5, -0.5, -0.5), eon::tileCornerRadius, eon::tileCornerRadius);
        painter.fillPath(shape, eonWithOpacity(eonSurfaceRaised(), 0.68));
        painter.setPen(QPen(eonHairline(), 1));
        painter.drawPath(shape);
        const QRectF gear(bounds.left() + 12, bounds.top(), 18, bounds.height());
        Symbols::paint(painter, gear, u"gearshape"_s, eonTextSecondary(),
            Symbols::sizeForTextSize(eon::textBody));
        painter.setFont(eonFont(eon::textBody, QFont::Medium));
        painter.setPen(eonTextSecondary());
        painter.drawText(bounds.adjusted(12 + 18 + 10, 0, -12, 0), Qt::AlignVCenter | Qt::AlignLeft,
            u"Settings"_s);
    }
};

QLabel* sectionLabel(const QString& text, QWidget* parent)
{
    QLabel* label = editing::plainLabel(text, eonFont(eon::textCallout, QFont::DemiBold),
        eonWithOpacity(eonAccent(), 0.82), parent);
    label->setAccessibleName(text);
    return label;
}

} // namespace

SidebarView::SidebarView(PlaylistEngine& playlists, QWidget* parent)
    : QWidget(parent)
    , m_playlists(playlists)
    , m_model(new SidebarModel(playlists, this))
    , m_libraryRows(new SidebarRowListModel(*m_model, this))
    , m_playlistRows(new SidebarRowListModel(*m_model, this))
{
    setObjectName(u"sidebar"_s);
    m_libraryRows->setRows(SidebarModel::libraryRows());
    m_playlistRows->setRows(m_model->playlistRows());
    connect(
        m_model, &SidebarModel::playlistRowsChanged, m_playlistRows, &SidebarRowListModel::setRows);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    // The logo's glow margin (10) comes out of the header's padding.
    auto* brand = new QHBoxLayout;
    brand->setContentsMargins(20 - 10, 54 - 10, 20, 28 - 10);
    brand->setSpacing(12 - 10);
    brand->addWidget(new BrandLogo(this));
    auto* names = new QVBoxLayout;
    names->setSpacing(1);
    names->addStretch(1);
    names->addWidget(editing::plainLabel(
        u"KIVO VOVID"_s, eonFont(eon::textHeadline, QFont::Bold), eonAccentBright(), this));
    QFont tracked = eonFont(eon::textMicro, QFont::Bold);
    tracked.setLetterSpacing(QFont::AbsoluteSpacing, 1.6);
    names->addWidget(editing::plainLabel(u"LIBRARY"_s, tracked, eonTextTertiary(), this));
    names->addStretch(1);
    brand->addLayout(names);
    brand->addStretch(1);
    column->addLayout(brand);

    auto* songs = new QHBoxLayout;
    songs->setContentsMargins(22, 0, 22, 10);
    songs->addWidget(sectionLabel(u"SONGS"_s, this));
    column->addLayout(songs);

    m_libraryList = makeList(m_libraryRows, false);
    m_libraryList->setObjectName(u"sidebarLibraryRows"_s);
    m_libraryList->setAccessibleName(u"Library"_s);
    const int rows = int(SidebarModel::libraryRows().size());
    m_libraryList->setFixedHeight(
        rows * (SidebarRowDelegate::rowHeight + SidebarRowDelegate::rowGap)
        - SidebarRowDelegate::rowGap);
    auto* libraryBox = new QHBoxLayout;
    libraryBox->setContentsMargins(eon::space2XL, 0, eon::space2XL, 0);
    libraryBox->addWidget(m_libraryList);
    column->addLayout(libraryBox);

    auto* header = new QHBoxLayout;
    header->setContentsMargins(22, 28, 22, 10);
    header->addWidget(sectionLabel(u"PLAYLISTS"_s, this));
    header->addStretch(1);
    auto* plus = new EonSymbolButton(u"plus"_s, 13, eonTextTertiary(), this);
    plus->setObjectName(u"sidebarNewPlaylist"_s);
    plus->setAccessibleName(u"New Playlist"_s);
    plus->setFixedSize(24, 24);
    m_plus = plus;
    header->addWidget(m_plus);
    column->addLayout(header);

    m_playlistList = makeList(m_playlistRows, true);
    m_playlistList->setObjectName(u"sidebarPlaylistRows"_s);
    m_playlistList->setAccessibleName(u"Playlists"_s);
    m_playlistList->setContextMenuPolicy(Qt::CustomContextMenu);
    auto* playlistBox = new QHBoxLayout;
    playlistBox->setContentsMargins(eon::space2XL, 0, eon::space2XL, 0);
    playlistBox->addWidget(m_playlistList);
    column->addLayout(playlistBox, 1);

    m_settings = new SettingsButton(this);
    auto* settingsBox = new QHBoxLayout;
    settingsBox->setContentsMargins(16, 12, 16, 18);
    settingsBox->addWidget(m_settings);
    column->addLayout(settingsBox);

    // A click, Return or Space, or a selection from assistive technology
    // opens the row's destination; Up and Down run on across both lists.
    for (SidebarListView* list : { m_libraryList, m_playlistList }) {
        SidebarRowListModel* listed = list == m_libraryList ? m_libraryRows : m_playlistRows;
        const auto open = [this, listed](int row) {
            if (row >= 0 && row < listed->rowCount()) {
                m_model->choose(listed->row(row).destination);
            }
            showSelection();
        };
        connect(list, &QListView::clicked, this,
            [open](const QModelIndex& index) { open(index.row()); });
        connect(list, &SidebarListView::rowOpened, this, open);
    }
    connect(m_libraryList, &SidebarListView::movedPastEnd, this, [this](int direction) {
        if (direction > 0) {
            m_playlistList->focusFromKeyboard(false);
        }
    });
    connect(m_playlistList, &SidebarListView::movedPastEnd, this, [this](int direction) {
        if (direction < 0) {
            m_libraryList->focusFromKeyboard(true);
        }
    });
    connect(m_model, &SidebarModel::selectionChanged, this, &SidebarView::showSelection);
    connect(m_playlistRows, &QAbstractItemModel::modelReset, this, [this] {
        // An empty list takes no focus: Tab would land on nothing visible.
        m_playlistList->setFocusPolicy(
            m_playlistRows->rowCount() > 0 ? Qt::StrongFocus : Qt::NoFocus);
        showSelection();
    });
    m_playlistList->setFocusPolicy(m_playlistRows->rowCount() > 0 ? Qt::StrongFocus : Qt::NoFocus);
    showSelection();
    connect(m_playlistList, &QWidget::customContextMenuRequested, this, [this](QPoint at) {
        const QModelIndex index = m_playlistList->indexAt(at);
        if (!index.isValid()) {
            return;
        }
        auto* menu = new QMenu(this);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        QAction* rename = menu->addAction(
            QIcon(Symbols::pixmap(u"pencil"_s, eonTextPrimary(), 14, 16)), u"Rename…"_s);
        const int row = index.row();
        connect(rename, &QAction::triggered, this, [this, row] { showRenameSheet(row); });
        menu->popup(m_playlistList->viewport()->mapToGlobal(at));
    });
    connect(m_plus, &QAbstractButton::clicked, this, &SidebarView::showNewPlaylistSheet);
    connect(m_settings, &QAbstractButton::clicked, m_model, &SidebarModel::openSettings);
}

SidebarView::~SidebarView() = default;

NewPlaylistSheet* SidebarView::newPlaylistSheet() const
{
    return m_newPlaylistSheet;
}

PlaylistRenameSheet* SidebarView::renameSheet() const
{
    return m_renameSheet;
}

SidebarListView* SidebarView::makeList(SidebarRowListModel* rows, bool scrolls)
{
    auto* list = new SidebarListView(this);
    list->setModel(rows);
    list->setItemDelegate(new SidebarRowDelegate(list));
    list->setSpacing(0);
    list->setUniformItemSizes(true);
    list->setFrameShape(QFrame::NoFrame);
    list->setMouseTracking(false);
    list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setVerticalScrollBarPolicy(scrolls ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    list->viewport()->setAutoFillBackground(false);
    list->setAutoFillBackground(false);
    list->setStyleSheet(u"QListView { background: transparent; }"_s);
    return list;
}

void SidebarView::showSelection()
{
    for (SidebarListView* list : { m_libraryList, m_playlistList }) {
        SidebarRowListModel* rows = list == m_libraryList ? m_libraryRows : m_playlistRows;
        int selected = -1;
        for (int row = 0; row < rows->rowCount(); ++row) {
            if (m_model->isSelected(rows->row(row))) {
                selected = row;
                break;
            }
        }
        list->showSelectedRow(selected);
    }
}

NewPlaylistSheet* SidebarView::showNewPlaylistSheet()
{
    if (m_newPlaylistSheet) {
        return m_newPlaylistSheet;
    }
    auto* sheet = new NewPlaylistSheet(m_playlists, this);
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    m_newPlaylistSheet = sheet;
    sheet->present();
    return sheet;
}

PlaylistRenameSheet* SidebarView::showRenameSheet(int row)
{
    if (row < 0 || row >= m_playlistRows->rowCount()) {
        return nullptr;
    }
    const std::optional<Playlist>& playlist = m_playlistRows->row(row).playlist;
    if (!playlist || m_renameSheet) {
        return m_renameSheet;
    }
    auto* sheet = new PlaylistRenameSheet(m_playlists, *playlist, this);
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    m_renameSheet = sheet;
    sheet->present();
    return sheet;
}

} // namespace kivo
