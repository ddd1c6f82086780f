#include "ui/eon/PlainToolTip.h"

#include <QWidget>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

// Up to about a title's length a tooltip stays on one line: Qt narrows a rich
// tooltip that would wrap to a quarter of its width, which breaks even short
// titles in two.
constexpr qsizetype oneLineLimit = 100;

} // namespace

QString plainToolTip(const QString& text)
{
    if (text.isEmpty()) {
        return {};
    }
    // Long texts (error messages) still wrap, at the tooltip's own width.
    const bool oneLine = text.size() <= oneLineLimit && !text.contains(u'\n');
    return (oneLine ? u"<qt><p style='white-space:pre'>"_s
                    : u"<qt><p style='white-space:pre-wrap'>"_s)
        + text.toHtmlEscaped() + u"</p></qt>"_s;
}

void setPlainToolTip(QWidget& widget, const QString& text)
{
    widget.setToolTip(plainToolTip(text));
    widget.setAccessibleDescription(text);
}

} // namespace kivo
