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

// Paints whole rows of the song table: the stripe and state layer, the
// play/pause cell, one cell per shown column in layout order and the edit
// cell. Rows are as wide as the content; the view hands in the row rectangle
// in viewport coordinates, already shifted by the horizontal scroll.
class TrackTableRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit TrackTableRowDelegate(QObject* parent = nullptr);

    void paintRow(QPainter& painter, const QRectF& rowRect, const QModelIndex& index,
        const TrackTableColumnLayout& columns, double tickerSeconds, bool reduceMotion) const;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // Cells are never painted one by one: the view paints rows.
    void paint(QPainter*, const QStyleOptionViewItem&, const QModelIndex&) const override { }

private:
    void paintBackground(
        QPainter& painter, const QRectF& rect, TrackRowVisualState state, int rowIndex) const;
    void paintTitleCell(QPainter& painter, const QRectF& cell, const QString& title, bool isActive,
        bool isPlaying, bool isSelected, double tickerSeconds, bool reduceMotion) const;
};

} // namespace kivo
