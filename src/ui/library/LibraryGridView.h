#pragma once

#include <QWidget>

class QSlider;

namespace kivo {

class LibraryGridArea;
class LibraryGridPresenter;

// The library grid on screen: the "Library" header with the tile-size slider
// over the scrolling tiles. Loads the sample songs each time it is shown.
class LibraryGridView : public QWidget {
    Q_OBJECT
public:
    explicit LibraryGridView(LibraryGridPresenter& presenter, QWidget* parent = nullptr);

    QSlider* sizeSlider() const { return m_slider; }
    LibraryGridArea* area() const { return m_area; }

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    LibraryGridPresenter& m_presenter;
    QWidget* m_header;
    QSlider* m_slider;
    LibraryGridArea* m_area;
};

} // namespace kivo
