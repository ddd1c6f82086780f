#include "ui/eon/EonPlainLabel.h"

#include <QLabel>
#include <QPalette>

namespace kivo {

QLabel* eonPlainLabel(const QString& text, const QFont& font, const QColor& color, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    eonMakePlain(label, font, color);
    return label;
}

void eonMakePlain(QLabel* label, const QFont& font, const QColor& color)
{
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
}

} // namespace kivo
