#include "app/WorkspacePanelState.h"

#include "platform/UserDefaults.h"

#include <algorithm>
#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

constexpr const char* leftEnabledKey = "workspace.left.enabled";
constexpr const char* leftExpandedKey = "workspace.left.expanded";
constexpr const char* leftLockedKey = "workspace.left.locked";
constexpr const char* leftWidthKey = "workspace.left.width";
constexpr const char* rightEnabledKey = "workspace.right.enabled";
constexpr const char* rightExpandedKey = "workspace.right.expanded";
constexpr const char* rightLockedKey = "workspace.right.locked";
constexpr const char* rightWidthKey = "workspace.right.width";

bool loadBool(const UserDefaults& defaults, const char* key, bool fallback)
{
    return defaults.boolValue(QString::fromLatin1(key)).value_or(fallback);
}

// A whole number stored by another writer still reads as a width.
std::optional<double> loadWidth(const UserDefaults& defaults, const char* key)
{
    const QString name = QString::fromLatin1(key);
    if (const auto number = defaults.doubleValue(name)) {
        return number;
    }
    if (const auto whole = defaults.integerValue(name)) {
        return double(*whole);
    }
    return std::nullopt;
}

} // namespace

QString displayName(WorkspacePanelSide side)
{
    return side == WorkspacePanelSide::left ? u"Library Sidebar"_s : u"Now Playing Inspector"_s;
}

double WorkspacePanelState::clampedWidth(WorkspacePanelSide side, double proposed)
{
    const bool left = side == WorkspacePanelSide::left;
    const double minimum
        = left ? WorkspacePanelWidths::leftMinimum : WorkspacePanelWidths::rightMinimum;
    const double maximum
        = left ? WorkspacePanelWidths::leftMaximum : WorkspacePanelWidths::rightMaximum;
    if (!std::isfinite(proposed)) {
        return minimum;
    }
    return std::clamp(proposed, minimum, maximum);
}

WorkspacePanelState::WorkspacePanelState(std::shared_ptr<UserDefaults> defaults, QObject* parent)
    : QObject(parent)
    , m_defaults(std::move(defaults))
{
    const UserDefaults& d = *m_defaults;
    m_isLeftEnabled = loadBool(d, leftEnabledKey, true);
    m_isLeftExpanded = loadBool(d, leftExpandedKey, true);
    m_isLeftLocked = loadBool(d, leftLockedKey, false);
    m_leftWidth = clampedWidth(WorkspacePanelSide::left,
        loadWidth(d, leftWidthKey).value_or(WorkspacePanelWidths::leftDefault));
    m_isRightEnabled = loadBool(d, rightEnabledKey, true);
    m_isRightExpanded = loadBool(d, rightExpandedKey, true);
    m_isRightLocked = loadBool(d, rightLockedKey, false);
    const std::optional<double> right = loadWidth(d, rightWidthKey);
    m_rightWidth = right ? clampedWidth(WorkspacePanelSide::right, *right)
                         : WorkspacePanelWidths::rightDefault;
}

void WorkspacePanelState::store(
    bool& field, bool value, const char* key, void (WorkspacePanelState::*signal)(bool))
{
    field = value;
    m_defaults->setValue(QString::fromLatin1(key), value);
    Q_EMIT(this->*signal)(value);
}

void WorkspacePanelState::store(
    double& field, double value, const char* key, void (WorkspacePanelState::*signal)(double))
{
    field = value;
    m_defaults->setValue(QString::fromLatin1(key), value);
    Q_EMIT(this->*signal)(value);
}

void WorkspacePanelState::setIsLeftEnabled(bool value)
{
    store(m_isLeftEnabled, value, leftEnabledKey, &WorkspacePanelState::isLeftEnabledChanged);
    if (value) {
        setIsLeftExpanded(true);
    } else {
        setIsLeftExpanded(false);
        setIsLeftLocked(false);
    }
}

void WorkspacePanelState::setIsLeftExpanded(bool value)
{
    store(m_isLeftExpanded, value, leftExpandedKey, &WorkspacePanelState::isLeftExpandedChanged);
}

void WorkspacePanelState::setIsLeftLocked(bool value)
{
    store(m_isLeftLocked, value, leftLockedKey, &WorkspacePanelState::isLeftLockedChanged);
}

void WorkspacePanelState::setLeftWidth(double value)
{
    store(m_leftWidth, value, leftWidthKey, &WorkspacePanelState::leftWidthChanged);
}

void WorkspacePanelState::setIsRightEnabled(bool value)
{
    store(m_isRightEnabled, value, rightEnabledKey, &WorkspacePanelState::isRightEnabledChanged);
    if (value) {
        setIsRightExpanded(true);
    } else {
        setIsRightExpanded(false);
        setIsRightLocked(false);
    }
}

void WorkspacePanelState::setIsRightExpanded(bool value)
{
    store(m_isRightExpanded, value, rightExpandedKey, &WorkspacePanelState::isRightExpandedChanged);
}

void WorkspacePanelState::setIsRightLocked(bool value)
{
    store(m_isRightLocked, value, rightLockedKey, &WorkspacePanelState::isRightLockedChanged);
}

void WorkspacePanelState::setRightWidth(double value)
{
    store(m_rightWidth, value, rightWidthKey, &WorkspacePanelState::rightWidthChanged);
}

bool WorkspacePanelState::isEnabled(WorkspacePanelSide side) const
{
    return side == WorkspacePanelSide::left ? m_isLeftEnabled : m_isRightEnabled;
}

bool WorkspacePanelState::isExpanded(WorkspacePanelSide side) const
{
    return side == WorkspacePanelSide::left ? m_isLeftExpanded : m_isRightExpanded;
}

bool WorkspacePanelState::isLocked(WorkspacePanelSide side) const
{
    return side == WorkspacePanelSide::left ? m_isLeftLocked : m_isRightLocked;
}

double WorkspacePanelState::width(WorkspacePanelSide side) const
{
    return side == WorkspacePanelSide::left ? m_leftWidth : m_rightWidth;
}

void WorkspacePanelState::setEnabled(WorkspacePanelSide side, bool value)
{
    side == WorkspacePanelSide::left ? setIsLeftEnabled(value) : setIsRightEnabled(value);
}

void WorkspacePanelState::setExpanded(WorkspacePanelSide side, bool value)
{
    side == WorkspacePanelSide::left ? setIsLeftExpanded(value) : setIsRightExpanded(value);
}

void WorkspacePanelState::setLocked(WorkspacePanelSide side, bool value)
{
    side == WorkspacePanelSide::left ? setIsLeftLocked(value) : setIsRightLocked(value);
}

void WorkspacePanelState::setWidth(WorkspacePanelSide side, double value)
{
    side == WorkspacePanelSide::left ? setLeftWidth(value) : setRightWidth(value);
}

} // namespace kivo
