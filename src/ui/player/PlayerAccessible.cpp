#include "ui/player/PlayerAccessible.h"

#include "ui/player/CompactWaveformSeekView.h"
#include "ui/player/WaveformSeekGeometry.h"

#include <QAccessibleWidget>

namespace kivo {

namespace {

class WaveformAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit WaveformAccessible(CompactWaveformSeekView* bar)
        : QAccessibleWidget(bar, QAccessible::Slider)
    {
    }

    CompactWaveformSeekView* bar() const { return static_cast<CompactWaveformSeekView*>(widget()); }

    // One element: the bubble and anything else inside are not its parts.
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Value ? bar()->accessibleValue() : QAccessibleWidget::text(t);
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface) {
            return static_cast<QAccessibleValueInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }

    QVariant currentValue() const override { return bar()->displayedSeconds(); }
    void setCurrentValue(const QVariant& value) override { bar()->seekTo(value.toDouble()); }
    QVariant maximumValue() const override { return waveformseek::safeDuration(bar()->duration()); }
    QVariant minimumValue() const override { return 0.0; }
    QVariant minimumStepSize() const override { return waveformseek::accessibilityStepSeconds; }

    // With the widget's own (the focus, which a screen reader's focus move asks for).
    QStringList actionNames() const override
    {
        return QAccessibleWidget::actionNames()
            + QStringList { increaseAction(), decreaseAction() };
    }

    void doAction(const QString& actionName) override
    {
        if (actionName == increaseAction()) {
            bar()->stepBy(1);
        } else if (actionName == decreaseAction()) {
            bar()->stepBy(-1);
        } else {
            QAccessibleWidget::doAction(actionName);
        }
    }
};

} // namespace

QAccessibleInterface* playerAccessible(const QString&, QObject* object)
{
    if (auto* bar = qobject_cast<CompactWaveformSeekView*>(object)) {
        return new WaveformAccessible(bar);
    }
    return nullptr;
}

} // namespace kivo
