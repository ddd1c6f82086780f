#pragma once

#include <QAbstractScrollArea>
#include <QVariantAnimation>

namespace kivo {

class LibraryGridDelegate;
struct LibraryGridLayout;
class LibraryGridModel;

// The scrolling part of the library grid: paints the tiles that meet the
// viewport through the delegate, never one widget per tile.
class LibraryGridArea : public QAbstractScrollArea {
    Q_OBJECT
public:
    LibraryGridArea(LibraryGridModel& model, QWidget* parent = nullptr);

    // Springs to the new width when `animated`.
    void setItemWidth(double width, bool animated);
    double itemWidth() const { return m_itemWidth; }
    // Where the tiles go at the current size.
    LibraryGridLayout layout() const;
    LibraryGridModel& model() const { return m_model; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void updateScrollRange();

    LibraryGridModel& m_model;
    LibraryGridDelegate* m_delegate;
    QVariantAnimation m_animation;
    double m_itemWidth;
};

} // namespace kivo
