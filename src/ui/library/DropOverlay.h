#pragma once

#include <QWidget>

namespace kivo {

// The drop zone shown centred over a song list while files are dragged over
// it: "Drop songs here" under the download symbol. Takes no input; the whole
// screen is the drop target.
class DropOverlay : public QWidget {
    Q_OBJECT
public:
    explicit DropOverlay(QWidget* parent = nullptr);

    // Centres the zone in the parent.
    void place();

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace kivo
