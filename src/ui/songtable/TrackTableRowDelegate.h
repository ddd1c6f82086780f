#pragma once

#include "ui/songtable/TrackTableColumnConfiguration.h"
#include "ui/songtable/TrackTableModel.h"

#include <QColor>
#include <QStyledItemDelegate>

namespace kivo {

// The looks of one row that depend only on its state; the painter and the
// tests read them from here.
struct TrackRowLook {
    // "speaker.wave.2.fill" while playing, else "play.fill".
    static QString playSymbol(bool isPlaying);
    // "Pause <title>" while playing, else "Play <title>".
    static QString playLabel(bool isPlaying, const QString& title);
    static QColor playColor(bool isActive, bool isSelected);
    static QColor editColor(bool isSelected);
    // The text colour of a cell: amber for the current song, ice for a
    // selected one, else the column's own colour.
    static QColor textColor(TrackTableColumnID column, bool isActive, bool isSelected);
    static bool isStriped(int rowIndex) { return rowIndex % 2 == 1; }
};

// What sits behind a song row: the alternating stripe by row position and the
// layer of the row's state (nothing when idle, a plate when selected, the
// amber wash and bar when current).
struct TrackRowSelectionBackground {
    static void paint(
        QPainter& painter, const QRectF& rect, TrackRowVisualState state, int rowIndex);
    // The accent outline of the row whose context menu is open.
    static void paintMenuOutline(QPainter& painter, const QRectF& rect);
};

// One value of one song in one column: the text in the column's font, colour
// and alignment, elided to the cell; the title cell also carries the
// now-playing indicator. The painter is clipped to the cell.
struct TrackTableCellView {
    static void paint(QPainter& painter, const QRectF& cell, TrackTableColumnID column,
        const QString& text, bool isActive, bool isPlaying, bool isSelected, double tickerSeconds,
        bool reduceMotion);
};

// Paints whole rows of the song table: the stripe and state layer, the
// play/pause cell, one cell per shown column in layout order and the edit
// cell. Rows are as wide as the content; the view hands in the row rectangle
// in viewport coordinates, already shifted by the horizontal scroll.
class TrackTableRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit TrackTableRowDelegate(QObject* parent = nullptr);

    void paintRow(QPainter& painter, const QRectF& rowRect, const QModelIndex& index,
        const TrackTableColumnLayout& columns, double tickerSeconds, bool reduceMotion,
        bool isMenuTarget = false) const;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // Cells are never painted one by one: the view paints rows.
    void paint(QPainter*, const QStyleOptionViewItem&, const QModelIndex&) const override { }
};

} // namespace kivo
