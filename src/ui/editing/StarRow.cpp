#include "ui/editing/StarRow.h"

#include "model/Track.h"
#include "ui/eon/EonPalette.h"
#include "ui/eon/EonSymbolButton.h"

#include <QHBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

StarRow::StarRow(double symbolSize, int spacing, QWidget* parent)
    : QWidget(parent)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(spacing);
    for (int n = 1; n <= Track::maxRating; ++n) {
        auto* star = new EonSymbolButton(u"star"_s, symbolSize, eonTextTertiary(), this);
        star->setObjectName(u"star%1"_s.arg(n));
        star->setAccessibleName(u"%1 star%2"_s.arg(n).arg(n == 1 ? u""_s : u"s"_s));
        star->setFixedSize(qRound(symbolSize * 1.6), qRound(symbolSize * 1.6));
        connect(star, &QAbstractButton::clicked, this, [this, n] { Q_EMIT tapped(n); });
        row->addWidget(star);
        m_stars << star;
    }
    setLit(0);
}

void StarRow::setLit(int count)
{
    if (count == m_lit) {
        return;
    }
    m_lit = count;
    for (int n = 1; n <= Track::maxRating; ++n) {
        const bool on = n <= count;
        m_stars[n - 1]->setSymbolName(on ? u"star.fill"_s : u"star"_s);
        m_stars[n - 1]->setColor(on ? eonAccent() : eonTextTertiary());
    }
}

} // namespace kivo
