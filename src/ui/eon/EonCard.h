#pragma once

#include <QWidget>

namespace kivo {

// A card's rounded backing: the raised surface at `fillOpacity` inside a
// hairline edge, with the kit's card corner radius.
class EonCard : public QWidget {
public:
    explicit EonCard(double fillOpacity, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double m_fillOpacity;
};

} // namespace kivo
