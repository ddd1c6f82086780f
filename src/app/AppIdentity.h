#pragma once

#include <QIcon>
#include <QString>

class QPainter;
class QRectF;

namespace kivo {

// The name the desktop knows the program by: its desktop entry (with
// ".desktop"), its icon and its metainfo carry it, and its windows are
// matched to the entry by it.
QString appId();

// The program's icon, drawn from its one image at every size asked for.
QIcon appIcon();
void paintAppIcon(QPainter& painter, const QRectF& target);

} // namespace kivo
