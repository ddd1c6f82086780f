#pragma once

#include <QList>
#include <QWidget>

namespace kivo {

class EonSymbolButton;

// Five star buttons for the ratings 1 to 5: "star.fill" in amber up to the
// lit count, "star" in dim after it. Only reports taps; the owner decides.
class StarRow : public QWidget {
    Q_OBJECT
public:
    StarRow(double symbolSize, int spacing, QWidget* parent = nullptr);

    void setLit(int count);
    int lit() const { return m_lit; }
    EonSymbolButton* star(int n) const { return m_stars.at(n - 1); }

Q_SIGNALS:
    void tapped(int n);

private:
    QList<EonSymbolButton*> m_stars;
    int m_lit = -1;
};

} // namespace kivo
