#include "ui/editing/EditingAccessible.h"

#include "ui/editing/StarRow.h"

#include <QAccessibleWidget>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

class StarRowAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit StarRowAccessible(StarRow* row)
        : QAccessibleWidget(row, QAccessible::Grouping)
    {
    }

    StarRow* stars() const { return static_cast<StarRow*>(widget()); }

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name: {
            const QString own = QAccessibleWidget::text(t);
            return own.isEmpty() ? u"Rating"_s : own;
        }
        case QAccessible::Value:
            return QString::number(stars()->lit());
        default:
            return QAccessibleWidget::text(t);
        }
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface) {
            return static_cast<QAccessibleValueInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }

    // The stars are pressed one by one; the value is only reported.
    QVariant currentValue() const override { return stars()->lit(); }
    void setCurrentValue(const QVariant&) override { }
    QVariant maximumValue() const override { return 5; }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }
};

} // namespace

QAccessibleInterface* editingAccessible(const QString&, QObject* object)
{
    if (auto* row = qobject_cast<StarRow*>(object)) {
        return new StarRowAccessible(row);
    }
    return nullptr;
}

} // namespace kivo
