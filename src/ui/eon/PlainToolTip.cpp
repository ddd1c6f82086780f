#include "ui/eon/PlainToolTip.h"

using namespace Qt::Literals::StringLiterals;

namespace kivo {

QString plainToolTip(const QString& text)
{
    if (text.isEmpty()) {
        return {};
    }
    // Long texts (error messages) still wrap, at the tooltip's own width.
    return u"<qt><p style='white-space:pre-wrap'>"_s + text.toHtmlEscaped() + u"</p></qt>"_s;
}

} // namespace kivo
