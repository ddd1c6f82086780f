#pragma once

#include <QLabel>

namespace kivo {

// A plain-text label on one line that ends in an ellipsis when it is too
// narrow; text() stays the whole text. It never asks for more width than it has.
class EonElidedLabel : public QLabel {
    Q_OBJECT
public:
    explicit EonElidedLabel(QWidget* parent = nullptr);

    // What is drawn at the current width.
    QString shownText() const;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace kivo
