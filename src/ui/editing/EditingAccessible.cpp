#include "ui/editing/EditingAccessible.h"

#include "ui/editing/StarRow.h"
#include "ui/eon/EonSymbolButton.h"

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

    QVariant currentValue() const override { return stars()->lit(); }
    // A value is set as a press sets it: its own star, or the lit star again
    // to clear. A disabled star ignores it; the owner decides what shows.
    void setCurrentValue(const QVariant& value) override
    {
        const int wanted = value.toInt();
        const int lit = stars()->lit();
        if (wanted == lit || wanted < 0 || wanted > 5 || (wanted == 0 && (lit < 1 || lit > 5))) {
            return;
        }
        stars()->star(wanted == 0 ? lit : wanted)->click();
    }
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
