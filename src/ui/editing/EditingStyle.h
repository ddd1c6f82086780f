#pragma once

#include "ui/eon/EonPlainLabel.h"

#include <QColor>
#include <QFont>
#include <QString>

class QFrame;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QWidget;

// Small builders shared by the editing views, so both sheets and the
// inspector draw captions, fields and buttons alike.
namespace kivo::editing {

// Between a caption (or its toggle) and the field or stars it names.
inline constexpr int captionGap = 7;

// A label that shows its text literally (user text never becomes markup).
inline QLabel* plainLabel(
    const QString& text, const QFont& font, const QColor& color, QWidget* parent = nullptr)
{
    return eonPlainLabel(text, font, color, parent);
}
// Upper-case caption: 10 semibold in `color` (dim unless given).
QLabel* caption(const QString& text, QWidget* parent = nullptr);
// Gives a text field the editors' look: cream text on white at `fillOpacity`,
// a 1-pixel outline, corner radius `radius`. Plain text only.
void styleField(
    QWidget* field, double fillOpacity, const QColor& outline, double radius, const QFont& font);
// A push button that never acts on Return (only its own shortcut or a click).
QPushButton* button(const QString& text, bool prominent, QWidget* parent = nullptr);
// A one-pixel hairline between sections.
QFrame* divider(QWidget* parent);

} // namespace kivo::editing
