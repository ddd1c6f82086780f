#include "ui/eon/EonAppearance.h"

#include "ui/eon/EonFonts.h"
#include "ui/eon/EonPalette.h"
#include "ui/eon/EonStyle.h"

#include <QApplication>
#include <QPalette>

namespace kivo {

void applyEonAppearance()
{
    loadEonFonts();
    QApplication::setStyle(new EonStyle);
    QPalette palette;
    palette.setColor(QPalette::Window, eonCanvas());
    palette.setColor(QPalette::WindowText, eonTextPrimary());
    palette.setColor(QPalette::Base, eonSurface());
    palette.setColor(QPalette::AlternateBase, eonSurfaceRaised());
    palette.setColor(QPalette::Text, eonTextPrimary());
    palette.setColor(QPalette::PlaceholderText, eonTextTertiary());
    palette.setColor(QPalette::Button, eonSurfaceRaised());
    palette.setColor(QPalette::ButtonText, eonTextPrimary());
    palette.setColor(QPalette::BrightText, eonAccentBright());
    palette.setColor(QPalette::Highlight, eonAccent());
    palette.setColor(QPalette::HighlightedText, eonCanvas());
    palette.setColor(QPalette::Link, eonAccentBright());
    palette.setColor(QPalette::ToolTipBase, eonSurfaceRaised());
    palette.setColor(QPalette::ToolTipText, eonTextPrimary());
    palette.setColor(QPalette::Light, eonSurfaceRaised().lighter(160));
    palette.setColor(QPalette::Mid, eonSurfaceRaised());
    palette.setColor(QPalette::Dark, eonCanvas());
    palette.setColor(QPalette::Shadow, Qt::black);
    for (const auto role : { QPalette::WindowText, QPalette::Text, QPalette::ButtonText }) {
        palette.setColor(QPalette::Disabled, role, eonTextTertiary());
    }
    palette.setColor(QPalette::Disabled, QPalette::Highlight, eonWithOpacity(eonAccent(), 0.4));
    palette.setColor(QPalette::Disabled, QPalette::Button, eonSurface());
    QApplication::setPalette(palette);
    QApplication::setFont(eonFont(13));
}

} // namespace kivo
