#include "ui/library/LibraryGridScrollBar.h"

#include "ui/eon/EonPalette.h"

#include <QAbstractScrollArea>
#include <QScrollBar>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

void styleLibraryScrollBar(QAbstractScrollArea* area)
{
    area->verticalScrollBar()->setStyleSheet(
        u"QScrollBar:vertical { width: 8px; background: transparent; margin: 2px; }"
        "QScrollBar::handle:vertical { background: %1; border-radius: 2px; min-height: 24px; }"
        "QScrollBar::add-line, QScrollBar::sub-line { height: 0; }"
        "QScrollBar::add-page, QScrollBar::sub-page { background: transparent; }"_s.arg(
            eonWithOpacity(eonTextTertiary(), 0.5).name(QColor::HexArgb)));
}

} // namespace kivo
