#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QLabel;
class QWidget;

namespace kivo {

// A label that shows its text literally (user text never becomes markup), in
// the given font and colour.
QLabel* eonPlainLabel(
    const QString& text, const QFont& font, const QColor& color, QWidget* parent = nullptr);

// Makes a label made elsewhere (a subclass) show its text the same way.
void eonMakePlain(QLabel* label, const QFont& font, const QColor& color);

} // namespace kivo
