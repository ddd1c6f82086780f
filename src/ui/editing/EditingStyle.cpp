#include "ui/editing/EditingStyle.h"

#include "ui/eon/EonFonts.h"
#include "ui/eon/EonMetrics.h"
#include "ui/eon/EonPalette.h"
#include "ui/eon/EonStyle.h"
#include "ui/eon/KeyModifiers.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

using namespace Qt::Literals::StringLiterals;

namespace kivo::editing {

namespace {

QString rgba(const QColor& color)
{
    return u"rgba(%1, %2, %3, %4)"_s.arg(color.red())
        .arg(color.green())
        .arg(color.blue())
        .arg(color.alphaF(), 0, 'f', 3);
}

} // namespace

QLabel* caption(const QString& text, QWidget* parent)
{
    QLabel* label = plainLabel(
        text.toUpper(), eonFont(eon::textCaption, QFont::DemiBold), eonTextTertiary(), parent);
    label->setAccessibleName(text);
    return label;
}

void styleField(
    QWidget* field, double fillOpacity, const QColor& outline, double radius, const QFont& font)
{
    field->setFont(font);
    const QString type = QString::fromLatin1(field->metaObject()->className());
    field->setStyleSheet(u"%1 { background: %2; color: %3; border: 1px solid %4;"
                         " border-radius: %5px; selection-background-color: %6; }"
                         " %1:focus { border-color: %6; }"
                         " %1:disabled { color: %7; }"_s
                             .arg(type, rgba(eonWithOpacity(Qt::white, fillOpacity)),
                                 rgba(eonTextPrimary()), rgba(outline))
                             .arg(radius)
                             .arg(rgba(eonAccent()), rgba(eonTextTertiary())));
}

QPushButton* button(const QString& text, bool prominent, QWidget* parent)
{
    auto* push = new QPushButton(text, parent);
    push->setAutoDefault(false);
    push->setDefault(false);
    push->setFont(eonFont(eon::textBody, QFont::Medium));
    // The Eon style draws it: accent fill when prominent, dimmed when disabled.
    push->setProperty(EonStyle::prominentProperty, prominent);
    return push;
}

QFrame* divider(QWidget* parent)
{
    auto* line = new QFrame(parent);
    line->setFixedHeight(1);
    line->setAutoFillBackground(true);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, eonHairline());
    line->setPalette(palette);
    return line;
}

} // namespace kivo::editing
