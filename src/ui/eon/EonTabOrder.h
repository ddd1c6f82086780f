#pragma once

#include <QList>

class QWidget;

namespace kivo {

// Tab goes through a window's controls in reading order: top to bottom, and
// left to right along a line. Two controls compare where their branches sit
// under their nearest common ancestor, so a panel's controls stay together
// and a container comes before what it holds. Controls come and go with
// screens and panels (joining the chain at its end); views put the chain in
// order again before Tab moves.
struct EonTabOrder {
    // The controls under `root` that Tab may reach, in reading order.
    static QList<QWidget*> readingOrder(QWidget* root);
    // Puts the controls under `root` into the focus chain in reading order.
    static void orderByReading(QWidget* root);
    // Chains `widgets` one after the other.
    static void chain(const QList<QWidget*>& widgets);
};

} // namespace kivo
