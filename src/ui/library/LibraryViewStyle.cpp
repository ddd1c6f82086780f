#include "ui/library/LibraryViewStyle.h"

#include "ui/editing/EditingStyle.h"
#include "ui/eon/EonFonts.h"
#include "ui/eon/EonMetrics.h"
#include "ui/eon/EonPalette.h"
#include "ui/eon/PlainToolTip.h"
#include "ui/library/ImportRoad.h"

#include "engines/library/LibraryEngine.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>

namespace kivo::library {

QColor errorRed(double opacity)
{
    return eonWithOpacity(eonErrorText(), opacity);
}

QLabel* sheetTitle(const QString& text, QWidget* parent)
{
    return editing::plainLabel(
        text, eonFont(eon::textTitle, QFont::Bold), eonTextPrimary(), parent);
}

QLineEdit* nameField(const QString& placeholder, QWidget* parent)
{
    auto* field = new QLineEdit(parent);
    field->setPlaceholderText(placeholder);
    // The placeholder goes when the user types: a screen reader needs a name.
    field->setAccessibleName(placeholder);
    field->setFixedHeight(34);
    field->setTextMargins(4, 0, 4, 0);
    editing::styleField(field, 0.055, Qt::transparent, eon::controlCornerRadius,
        eonFont(eon::textSubheadline, QFont::Medium));
    return field;
}

QLabel* errorLabel(double size, double opacity, bool wraps, QWidget* parent)
{
    QLabel* label
        = editing::plainLabel({}, eonFont(size, QFont::Medium), errorRed(opacity), parent);
    label->setWordWrap(wraps);
    label->setVisible(false);
    return label;
}

void showErrorLine(QLabel& label, const std::optional<QString>& error)
{
    label.setVisible(error.has_value());
    if (!error) {
        label.clear();
        setPlainToolTip(label, {});
        return;
    }
    const QString line = ImportRoad::firstLine(*error);
    label.setText(label.fontMetrics().elidedText(line, Qt::ElideRight, label.maximumWidth()));
    label.setAccessibleName(line);
    setPlainToolTip(label, *error);
}

void followImportRefusal(QAbstractButton& button, LibraryEngine& library, const QString& tip)
{
    auto follow = [&button, &library, tip] {
        const std::optional<QString> refusal = ImportRoad::refusal(library);
        button.setEnabled(!refusal);
        // A disabled button still shows its tooltip: the reason it is off.
        button.setToolTip(refusal ? *refusal : tip);
    };
    follow();
    QObject::connect(&library, &LibraryEngine::loadStateChanged, &button, follow);
}

} // namespace kivo::library
