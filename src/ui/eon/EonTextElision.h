#pragma once

#include <QFont>
#include <QString>

namespace kivo {

// `text` wrapped at `width` in `font`, cut after `maxLines` lines with an
// ellipsis at the end of the last one; unchanged when it fits.
QString elideToLines(const QString& text, const QFont& font, int width, int maxLines);

} // namespace kivo
