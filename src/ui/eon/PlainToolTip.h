#pragma once

#include <QString>

class QWidget;

namespace kivo {

// A tooltip that shows `text` as those very characters, spaces and line breaks
// included; empty for an empty text. Qt guesses whether a tooltip is rich text,
// so the text is escaped and marked as rich text explicitly: escaping alone
// shows "&amp;" in a tooltip taken as plain, and raw text renders "<b>".
QString plainToolTip(const QString& text);

// Gives `widget` that tooltip, and the same text as its accessible description:
// a screen reader would otherwise read the tooltip's markup out as it.
void setPlainToolTip(QWidget& widget, const QString& text);

} // namespace kivo
