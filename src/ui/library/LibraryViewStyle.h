#pragma once

#include <QColor>
#include <QString>
#include <optional>

class QAbstractButton;
class QLabel;
class QLineEdit;
class QWidget;

// Builders shared by the sidebar, the library screens and their sheets.
namespace kivo {
class LibraryEngine;
} // namespace kivo

namespace kivo::library {

// The system's red, for error texts.
QColor errorRed(double opacity);
// A sheet's heading: 20 bold cream.
QLabel* sheetTitle(const QString& text, QWidget* parent);
// The playlist sheets' name field: 34 high, cream 14 medium on a faint white
// fill with corner radius 6.
QLineEdit* nameField(const QString& placeholder, QWidget* parent);
// An error text in red at `size` medium, shown literally. Wrapped when
// `wraps`, otherwise kept to one line.
QLabel* errorLabel(double size, double opacity, bool wraps, QWidget* parent);

// A screen's one-line error: the first line of `error`, cut to the label's
// maximum width, the whole text in the tooltip; hidden when there is none.
void showErrorLine(QLabel& label, const std::optional<QString>& error);

// An import button follows the library: disabled while it refuses files,
// its tooltip then saying why, else `tip`.
void followImportRefusal(QAbstractButton& button, LibraryEngine& library, const QString& tip);

} // namespace kivo::library
