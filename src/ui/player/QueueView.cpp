#include "ui/player/QueueView.h"

#include "ui/eon/EonFonts.h"
#include "ui/eon/EonMetrics.h"
#include "ui/eon/EonPalette.h"
#include "ui/eon/EonPlainLabel.h"
#include "ui/eon/Symbols.h"

#include <QAction>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QPushButton>
#include <QStackedLayout>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

// Between the window's headlines and its titles: the panel is narrow.
constexpr int headerTextSize = 16;

using Section = QueueListModel::Section;

// Draws section headers and song rows.
class QueueRowDelegate : public QStyledItemDelegate {
public:
    QueueRowDelegate(const QueueListModel& model, QObject* parent)
        : QStyledItemDelegate(parent)
        , m_model(model)
    {
    }

    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex& index) const override
    {
        // Asked of every row of a new queue, 200,000 of them for a library.
        return { 0, m_model.isHeader(index.row()) ? 24 : 48 };
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
        const QModelIndex& index) const override
    {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        const QRectF row = QRectF(option.rect).adjusted(20, 0, -20, 0);
        if (index.data(QueueListModel::IsHeaderRole).toBool()) {
            QFont font = eonFont(eon::textCaption, QFont::DemiBold);
            font.setLetterSpacing(QFont::AbsoluteSpacing, 1.2);
            painter->setFont(font);
            painter->setPen(eonTextTertiary());
            painter->drawText(row.adjusted(0, 4, 0, -4), Qt::AlignLeft | Qt::AlignBottom,
                index.data().toString());
            painter->restore();
            return;
        }
        const auto section = Section(index.data(QueueListModel::SectionRole).toInt());
        const bool current = index.data(QueueListModel::IsCurrentRole).toBool();
        if (section == Section::history) {
            painter->setOpacity(0.5);
        }
        if (option.state & QStyle::State_Selected) {
            painter->fillRect(option.rect, eonAccentWash());
        } else if (option.state & QStyle::State_MouseOver) {
            painter->fillRect(option.rect, eonWithOpacity(eonSurfaceRaised(), 0.6));
        }
        const QRectF thumb(row.left(), row.center().y() - 18, 36, 36);
        QPainterPath clip;
        clip.addRoundedRect(thumb, eon::compactCornerRadius, eon::compactCornerRadius);
        const QImage image = index.data(QueueListModel::ThumbnailRole).value<QImage>();
        if (!image.isNull()) {
            painter->save();
            painter->setClipPath(clip);
            painter->setRenderHint(QPainter::SmoothPixmapTransform);
            const QSizeF size = image.size().scaled(QSize(36, 36), Qt::KeepAspectRatioByExpanding);
            painter->drawImage(
                QRectF(thumb.center() - QPointF(size.width() / 2, size.height() / 2), size), image);
            painter->restore();
        } else {
            painter->fillPath(clip, QColor::fromRgbF(1, 1, 1, 0.06f));
            if (current) {
                Symbols::paint(*painter, thumb, u"waveform"_s, eonAccent(),
                    Symbols::sizeForTextSize(eon::textCallout));
            } else {
                Symbols::paint(*painter, thumb, u"music.note"_s, eonTextTertiary(),
                    Symbols::sizeForTextSize(eon::textCaption));
            }
        }
        const QFont durationFont = eonMonoFont(eon::textFootnote, QFont::Medium);
        const QString duration = index.data(QueueListModel::DurationTextRole).toString();
        const double durationWidth = QFontMetricsF(durationFont).horizontalAdvance(duration);
        const QRectF text(thumb.right() + 12, row.top(),
            row.right() - thumb.right() - 24 - durationWidth, row.height());
        const QFont titleFont = eonFont(eon::textBody, current ? QFont::Bold : QFont::Medium);
        const QFont artistFont = eonFont(eon::textFootnote, QFont::Medium);
        const QFontMetricsF titleMetrics(titleFont);
        const QFontMetricsF artistMetrics(artistFont);
        const double blockHeight = titleMetrics.height() + 2 + artistMetrics.height();
        const double top = row.center().y() - blockHeight / 2;
        painter->setFont(titleFont);
        painter->setPen(current ? eonAccent() : eonTextPrimary());
        painter->drawText(QRectF(text.left(), top, text.width(), titleMetrics.height()),
            Qt::AlignLeft | Qt::AlignVCenter,
            titleMetrics.elidedText(index.data().toString(), Qt::ElideRight, text.width()));
        painter->setFont(artistFont);
        painter->setPen(eonTextSecondary());
        painter->drawText(QRectF(text.left(), top + titleMetrics.height() + 2, text.width(),
                              artistMetrics.height()),
            Qt::AlignLeft | Qt::AlignVCenter,
            artistMetrics.elidedText(
                index.data(QueueListModel::ArtistRole).toString(), Qt::ElideRight, text.width()));
        painter->setFont(durationFont);
        painter->setPen(eonTextTertiary());
        painter->drawText(row, Qt::AlignRight | Qt::AlignVCenter, duration);
        painter->restore();
    }

private:
    const QueueListModel& m_model;
};

// Tells the panel when the rows it shows may have changed: after every
// layout (a new queue, a resize) and every scroll.
class QueueRowsView : public QListView {
public:
    QueueRowsView(std::function<void()> shownRowsMayChange, QWidget* parent)
        : QListView(parent)
        , m_shownRowsMayChange(std::move(shownRowsMayChange))
    {
    }

protected:
    void updateGeometries() override
    {
        QListView::updateGeometries();
        m_shownRowsMayChange();
    }
    void scrollContentsBy(int dx, int dy) override
    {
        QListView::scrollContentsBy(dx, dy);
        m_shownRowsMayChange();
    }

private:
    std::function<void()> m_shownRowsMayChange;
};

} // namespace

QueueView::QueueView(QueueEngine& queue, ArtworkCache& artwork, QWidget* parent)
    : QWidget(parent)
    , m_artwork(artwork)
    , m_model(new QueueListModel(queue, this))
{
    setObjectName(u"player.queue"_s);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    auto* header = new QHBoxLayout;
    header->setContentsMargins(20, 14, 20, 14);
    header->addWidget(
        eonPlainLabel(u"Queue"_s, eonFont(headerTextSize, QFont::Bold), eonTextPrimary(), this));
    header->addStretch(1);
    auto* clear = new QPushButton(u"Clear"_s, this);
    clear->setObjectName(u"player.queue.clear"_s);
    clear->setFlat(true);
    // Tab reaches it; a click leaves the focus where it was.
    clear->setFocusPolicy(Qt::TabFocus);
    clear->setCursor(Qt::PointingHandCursor);
    clear->setFont(eonFont(eon::textFootnote, QFont::DemiBold));
    clear->setStyleSheet(u"QPushButton { border: none; color: %1; background: transparent; }"_s.arg(
        eonTextTertiary().name(QColor::HexArgb)));
    connect(clear, &QPushButton::clicked, m_model, &QueueListModel::clearUpcoming);
    m_clear = clear;
    header->addWidget(clear);
    column->addLayout(header);
    auto* divider = new QWidget(this);
    divider->setFixedHeight(1);
    divider->setAutoFillBackground(true);
    QPalette dividerPalette = divider->palette();
    dividerPalette.setColor(QPalette::Window, eonHairline());
    divider->setPalette(dividerPalette);
    column->addWidget(divider);

    // A plain holder, not a stacked widget: a screen reader entering the rows
    // would otherwise hear an unnamed "layered pane" first.
    auto* pages = new QWidget(this);
    m_stack = new QStackedLayout(pages);
    m_stack->setContentsMargins(0, 0, 0, 0);
    auto* empty = new QWidget(pages);
    empty->setObjectName(u"player.queue.empty"_s);
    auto* emptyColumn = new QVBoxLayout(empty);
    emptyColumn->setSpacing(eon::spaceL);
    emptyColumn->addStretch(1);
    auto* symbol = new QLabel(empty);
    symbol->setPixmap(Symbols::pixmap(u"music.note.list"_s, eonTextTertiary(), 30, 36, 2));
    symbol->setAlignment(Qt::AlignCenter);
    emptyColumn->addWidget(symbol);
    for (QLabel* label : { eonPlainLabel(u"Queue is empty"_s,
                               eonFont(eon::textBody, QFont::DemiBold), eonTextSecondary(), empty),
             eonPlainLabel(u"Play a song to start building your queue"_s,
                 eonFont(eon::textFootnote, QFont::Medium), eonTextTertiary(), empty) }) {
        label->setAlignment(Qt::AlignCenter);
        emptyColumn->addWidget(label);
    }
    emptyColumn->addStretch(1);
    m_stack->addWidget(empty);

    m_list = new QueueRowsView([this] { loadShownThumbnailsSoon(); }, pages);
    m_list->setObjectName(u"player.queue.list"_s);
    m_list->setAccessibleName(u"Queue"_s);
    m_list->setItemDelegate(new QueueRowDelegate(*m_model, m_list));
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setMouseTracking(true);
    m_list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    m_list->viewport()->setAutoFillBackground(false);
    m_list->setStyleSheet(u"QListView { background: transparent; }"_s);
    // Given last: the settings above each lay out every row again, which for
    // a library-sized queue costs tens of milliseconds apiece.
    m_list->setModel(m_model);
    m_list->installEventFilter(this);
    m_list->viewport()->installEventFilter(this);
    m_stack->addWidget(m_list);
    column->addWidget(pages, 1);

    connect(m_list, &QListView::clicked, this,
        [this](const QModelIndex& index) { m_model->tap(index.row()); });
    connect(m_list, &QWidget::customContextMenuRequested, this, [this](const QPoint& point) {
        const QModelIndex index = m_list->indexAt(point);
        if (m_model->section(index.row()) != Section::upcoming || !m_model->position(index.row())) {
            return;
        }
        const qsizetype position = *m_model->position(index.row());
        auto* menu = new QMenu(this);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->addAction(
            u"Remove"_s, this, [this, position] { m_model->removeUpcoming({ position }); });
        menu->popup(m_list->viewport()->mapToGlobal(point));
    });
    connect(m_model, &QueueListModel::tracksListed, this, &QueueView::loadShownThumbnailsSoon);
    connect(m_model, &QAbstractItemModel::modelReset, this, &QueueView::updateContent);
    updateContent();
    loadShownThumbnailsSoon();
}

QWidget& QueueView::clearButton() const
{
    return *m_clear;
}

bool QueueView::showsEmptyState() const
{
    return m_stack->currentIndex() == 0;
}

void QueueView::updateContent()
{
    m_stack->setCurrentIndex(m_model->isEmpty() ? 0 : 1);
    m_clear->setVisible(m_model->hasUpcoming());
}

void QueueView::loadShownThumbnailsSoon()
{
    // Once per pass of the event loop: a layout and a scroll often come together.
    if (std::exchange(m_shownLoadPending, true)) {
        return;
    }
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_shownLoadPending = false;
            loadShownThumbnails();
        },
        Qt::QueuedConnection);
}

void QueueView::loadShownThumbnails()
{
    const int rows = m_model->rowCount();
    if (rows == 0 || m_list->isHidden()) {
        return;
    }
    const QRect area = m_list->viewport()->rect();
    const QModelIndex first = m_list->indexAt(area.topLeft());
    if (!first.isValid()) {
        return; // not laid out yet: the layout asks again
    }
    const QModelIndex last = m_list->indexAt(area.bottomLeft());
    const int from = std::max(first.row() - thumbnailMarginRows, 0);
    const int to
        = std::min((last.isValid() ? last.row() : rows - 1) + thumbnailMarginRows, rows - 1);
    for (int row = from; row <= to; ++row) {
        const std::optional<Track> track = m_model->track(row);
        if (!track || m_thumbnailLoads.contains(track->id)) {
            continue;
        }
        const quint64 generation = ++m_loadCount;
        m_thumbnailLoads.insert(track->id, generation);
        loadThumbnail(track->id, generation, *track);
    }
}

QCoro::Task<> QueueView::loadThumbnail(QUuid id, quint64 generation, Track track)
{
    const QPointer<QueueView> self(this);
    ArtworkCache& artwork = m_artwork;
    const std::optional<QByteArray> bytes = co_await artwork.retrieveArtwork(track);
    if (!self || m_thumbnailLoads.value(id) != generation) {
        co_return;
    }
    QImage image = bytes ? QImage::fromData(*bytes) : QImage();
    if (!image.isNull()) {
        // Rows draw 36-point squares: keep a small copy, not the full artwork.
        image = image.scaled(72, 72, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
    }
    m_model->setThumbnail(id, image);
}

void QueueView::removeSelected()
{
    QList<qsizetype> positions;
    for (const QModelIndex& index : m_list->selectionModel()->selectedIndexes()) {
        if (m_model->section(index.row()) == Section::upcoming && m_model->position(index.row())) {
            positions.append(*m_model->position(index.row()));
        }
    }
    m_model->removeUpcoming(positions);
}

bool QueueView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Delete || key == Qt::Key_Backspace) {
            removeSelected();
            return true;
        }
        // Return plays the row the keys are on, as a click does.
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && m_list->currentIndex().isValid()) {
            m_model->tap(m_list->currentIndex().row());
            return true;
        }
    }
    if (watched == m_list->viewport()) {
        // A drag within UPCOMING moves one song; the drop point's half of a
        // row says whether it lands before or after that row.
        if (event->type() == QEvent::MouseButtonPress) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            const int row = m_list->indexAt(mouse->position().toPoint()).row();
            m_dragRow
                = m_model->section(row) == Section::upcoming && m_model->position(row) ? row : -1;
        } else if (event->type() == QEvent::MouseButtonRelease && m_dragRow >= 0) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            const QModelIndex target = m_list->indexAt(mouse->position().toPoint());
            const int from = m_dragRow;
            m_dragRow = -1;
            if (target.isValid() && target.row() != from
                && m_model->section(target.row()) == Section::upcoming
                && m_model->position(target.row())) {
                const QRect rect = m_list->visualRect(target);
                const qsizetype destination = *m_model->position(target.row())
                    + (mouse->position().y() > rect.center().y() ? 1 : 0);
                m_model->moveUpcoming({ *m_model->position(from) }, destination);
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void QueueView::paintEvent(QPaintEvent*)
{
    QPainter(this).fillRect(rect(), eonSurface());
}

} // namespace kivo
