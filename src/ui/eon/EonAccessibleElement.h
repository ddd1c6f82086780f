#pragma once

#include <QAccessible>
#include <QAccessibleInterface>
#include <QHash>
#include <QPointer>
#include <QWidget>
#include <functional>

namespace kivo {

// The accessible children a custom-drawn view makes for the parts it paints,
// by a key that names the part (so a part keeps its id while others come and
// go). Each is made on first request and deleted with this holder.
class EonAccessibleChildren {
public:
    EonAccessibleChildren() = default;
    EonAccessibleChildren(const EonAccessibleChildren&) = delete;
    EonAccessibleChildren& operator=(const EonAccessibleChildren&) = delete;
    ~EonAccessibleChildren();

    QAccessibleInterface* get(quint64 key, const std::function<QAccessibleInterface*()>& make);
    // The key `child` was made under, or -1.
    qint64 keyOf(const QAccessibleInterface* child) const;

private:
    QHash<quint64, QAccessible::Id> m_ids;
};

// One painted part of `owner` (a row, a cell, a drawn button) as assistive
// technology sees it. Everything it reports is asked of the owner when asked,
// so it never goes stale; once `exists` says no, it is invalid.
class EonAccessibleElement : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    EonAccessibleElement(QWidget* owner, QAccessibleInterface* parent, QAccessible::Role role);

    std::function<bool()> exists;
    std::function<QString()> name;
    std::function<QString()> value;
    std::function<QString()> description;
    // In the owner's coordinates.
    std::function<QRect()> bounds;
    // Where in the owner parts can be seen (default: all of it); a part
    // outside is reported off screen, not showing.
    std::function<QRect()> visibleArea;
    std::function<QAccessible::State()> states;
    // The press action; none means the element has no action.
    std::function<void()> press;
    // Children, by index: how many there are now and the interface for one.
    std::function<int()> countChildren;
    std::function<QAccessibleInterface*(int)> makeChild;
    // Where makeChild keeps what it makes.
    EonAccessibleChildren children;

    QWidget* owner() const { return m_owner; }

    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* parent() const override { return m_parent; }
    QAccessibleInterface* child(int index) const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString&) override { }
    QRect rect() const override;
    QAccessible::Role role() const override { return m_role; }
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<QWidget> m_owner;
    QAccessibleInterface* m_parent;
    QAccessible::Role m_role;
};

} // namespace kivo
