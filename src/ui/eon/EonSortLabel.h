#pragma once

#include <QFont>
#include <QString>

namespace kivo {

// A column title and, on the sorted column, its chevron, set in the room a
// header cell has. Letter spacing is the first thing given up: a title that
// would be cut with it is drawn tighter (down to a hair below none), and only
// a title that cannot fit even then is elided. The chevron counts by its ink, not its box.
struct EonSortLabel {
    QFont font; // the header font, its letter spacing narrowed where needed
    QString text; // the title as drawn
    double textWidth = 0; // from the first letter to the last, no trailing spacing
    double chevronWidth = 0; // 0 on a column that is not sorted
    double spacing = 0; // between title and chevron

    double width() const { return textWidth + (chevronWidth > 0 ? spacing + chevronWidth : 0); }

    // `chevron` is the symbol name, empty when the column is not sorted.
    static EonSortLabel layout(const QFont& font, const QString& title, double room,
        const QString& chevron, double chevronSize, double spacing);
};

} // namespace kivo
