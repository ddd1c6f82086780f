#include "ui/eon/EonAccessibleElement.h"

#include <QWindow>

namespace kivo {

EonAccessibleChildren::~EonAccessibleChildren()
{
    for (const QAccessible::Id id : std::as_const(m_ids)) {
        // At exit the cache may have deleted them already.
        if (QAccessible::accessibleInterface(id)) {
            QAccessible::deleteAccessibleInterface(id);
        }
    }
}

QAccessibleInterface* EonAccessibleChildren::get(
    quint64 key, const std::function<QAccessibleInterface*()>& make)
{
    const auto found = m_ids.constFind(key);
    if (found != m_ids.cend()) {
        if (QAccessibleInterface* existing = QAccessible::accessibleInterface(*found)) {
            return existing;
        }
    }
    QAccessibleInterface* made = make();
    m_ids.insert(key, QAccessible::registerAccessibleInterface(made));
    return made;
}

qint64 EonAccessibleChildren::keyOf(const QAccessibleInterface* child) const
{
    const QAccessible::Id id = QAccessible::uniqueId(const_cast<QAccessibleInterface*>(child));
    for (auto it = m_ids.cbegin(); it != m_ids.cend(); ++it) {
        if (it.value() == id) {
            return qint64(it.key());
        }
    }
    return -1;
}

EonAccessibleElement::EonAccessibleElement(
    QWidget* owner, QAccessibleInterface* parent, QAccessible::Role role)
    : m_owner(owner)
    , m_parent(parent)
    , m_role(role)
{
}

bool EonAccessibleElement::isValid() const
{
    return m_owner && (!exists || exists());
}

QWindow* EonAccessibleElement::window() const
{
    return m_owner ? m_owner->window()->windowHandle() : nullptr;
}

QAccessibleInterface* EonAccessibleElement::child(int index) const
{
    return makeChild && isValid() && index >= 0 && index < childCount() ? makeChild(index)
                                                                        : nullptr;
}

int EonAccessibleElement::childCount() const
{
    return countChildren && isValid() ? countChildren() : 0;
}

int EonAccessibleElement::indexOfChild(const QAccessibleInterface* wanted) const
{
    for (int i = 0; i < childCount(); ++i) {
        if (child(i) == wanted) {
            return i;
        }
    }
    return -1;
}

QAccessibleInterface* EonAccessibleElement::childAt(int x, int y) const
{
    for (int i = 0; i < childCount(); ++i) {
        QAccessibleInterface* candidate = child(i);
        if (candidate && candidate->rect().contains(x, y)) {
            return candidate;
        }
    }
    return nullptr;
}

QString EonAccessibleElement::text(QAccessible::Text t) const
{
    if (!isValid()) {
        return {};
    }
    switch (t) {
    case QAccessible::Name:
        return name ? name() : QString();
    case QAccessible::Value:
        return value ? value() : QString();
    case QAccessible::Description:
        return description ? description() : QString();
    default:
        return {};
    }
}

QRect EonAccessibleElement::rect() const
{
    if (!isValid() || !bounds) {
        return {};
    }
    const QRect local = bounds();
    return QRect(m_owner->mapToGlobal(local.topLeft()), local.size());
}

QAccessible::State EonAccessibleElement::state() const
{
    QAccessible::State result = states && isValid() ? states() : QAccessible::State();
    if (!m_owner || !m_owner->isVisible()) {
        result.invisible = true;
    } else if (bounds && isValid()
        && !bounds().intersects(visibleArea ? visibleArea() : m_owner->rect())) {
        result.offscreen = true;
    }
    if (m_owner && !m_owner->isEnabled()) {
        result.disabled = true;
    }
    return result;
}

void* EonAccessibleElement::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::ActionInterface && press) {
        return static_cast<QAccessibleActionInterface*>(this);
    }
    return nullptr;
}

QStringList EonAccessibleElement::actionNames() const
{
    return press && isValid() && m_owner->isEnabled() ? QStringList { pressAction() }
                                                      : QStringList();
}

void EonAccessibleElement::doAction(const QString& actionName)
{
    if (actionName == pressAction() && actionNames().contains(actionName)) {
        press();
    }
}

} // namespace kivo
