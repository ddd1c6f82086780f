#include "ui/eon/EonTextElision.h"

#include <QFontMetrics>
#include <QTextLayout>

namespace kivo {

QString elideToLines(const QString& text, const QFont& font, int width, int maxLines)
{
    if (width <= 0 || maxLines <= 0) {
        return {};
    }
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    int lastStart = 0;
    int lines = 0;
    bool overflows = false;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        if (lines == maxLines) {
            overflows = true;
            break;
        }
        lastStart = line.textStart();
        ++lines;
    }
    layout.endLayout();
    if (!overflows) {
        return text;
    }
    // The last shown line takes the rest of the text, cut with an ellipsis.
    const QString rest = text.mid(lastStart).simplified();
    return text.left(lastStart) + QFontMetrics(font).elidedText(rest, Qt::ElideRight, width);
}

} // namespace kivo
