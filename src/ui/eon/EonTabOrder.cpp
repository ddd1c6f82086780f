#include "ui/eon/EonTabOrder.h"

#include <QWidget>
#include <algorithm>

namespace kivo {

namespace {

bool takesTab(const QWidget* widget)
{
    return (widget->focusPolicy() & Qt::TabFocus) && !widget->focusProxy();
}

bool holdsTabStop(const QWidget* widget)
{
    if (takesTab(widget)) {
        return true;
    }
    const QList<QWidget*> inside = widget->findChildren<QWidget*>();
    return std::any_of(inside.cbegin(), inside.cend(),
        [](const QWidget* each) { return !each->isWindow() && takesTab(each); });
}

bool onOneLine(const QRect& a, const QRect& b)
{
    return (b.center().y() >= a.top() && b.center().y() <= a.bottom())
        || (a.center().y() >= b.top() && a.center().y() <= b.bottom());
}

// Siblings in reading order: lines from the top, each from the left.
QList<QWidget*> sortedByReading(QList<QWidget*> siblings)
{
    std::stable_sort(siblings.begin(), siblings.end(), [](const QWidget* a, const QWidget* b) {
        return a->geometry().center().y() < b->geometry().center().y();
    });
    QList<QWidget*> ordered;
    qsizetype start = 0;
    while (start < siblings.size()) {
        const QRect first = siblings[start]->geometry();
        qsizetype end = start + 1;
        while (end < siblings.size() && onOneLine(first, siblings[end]->geometry())) {
            ++end;
        }
        QList<QWidget*> line = siblings.mid(start, end - start);
        std::stable_sort(line.begin(), line.end(), [](const QWidget* a, const QWidget* b) {
            return a->geometry().center().x() < b->geometry().center().x();
        });
        ordered << line;
        start = end;
    }
    return ordered;
}

void collect(QWidget* container, QList<QWidget*>& into)
{
    QList<QWidget*> children;
    for (QObject* child : container->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget && !widget->isWindow() && holdsTabStop(widget)) {
            children << widget;
        }
    }
    for (QWidget* child : sortedByReading(children)) {
        if (takesTab(child)) {
            into << child;
        }
        collect(child, into);
    }
}

} // namespace

QList<QWidget*> EonTabOrder::readingOrder(QWidget* root)
{
    QList<QWidget*> ordered;
    collect(root, ordered);
    return ordered;
}

void EonTabOrder::chain(const QList<QWidget*>& widgets)
{
    for (qsizetype i = 1; i < widgets.size(); ++i) {
        QWidget::setTabOrder(widgets[i - 1], widgets[i]);
    }
}

void EonTabOrder::orderByReading(QWidget* root)
{
    chain(readingOrder(root));
}

} // namespace kivo
