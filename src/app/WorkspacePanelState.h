#pragma once

#include <QObject>
#include <QString>
#include <memory>

namespace kivo {

class UserDefaults;

enum class WorkspacePanelSide { left, right };

// "Library Sidebar" or "Now Playing Inspector".
QString displayName(WorkspacePanelSide side);

// Width ranges in points; the state clamps on load, the layout before assigning.
struct WorkspacePanelWidths {
    static constexpr double leftMinimum = 188;
    static constexpr double leftMaximum = 360;
    static constexpr double leftDefault = 240;
    static constexpr double rightMinimum = 260;
    static constexpr double rightMaximum = 460;
    static constexpr double rightDefault = 340;
};

// The two side panels' saved layout. Every assignment is written to the user
// defaults at once, so the layout survives a restart. Main thread only.
class WorkspacePanelState : public QObject {
    Q_OBJECT
public:
    explicit WorkspacePanelState(std::shared_ptr<UserDefaults> defaults, QObject* parent = nullptr);

    bool isLeftEnabled() const { return m_isLeftEnabled; }
    bool isLeftExpanded() const { return m_isLeftExpanded; }
    bool isLeftLocked() const { return m_isLeftLocked; }
    double leftWidth() const { return m_leftWidth; }
    bool isRightEnabled() const { return m_isRightEnabled; }
    bool isRightExpanded() const { return m_isRightExpanded; }
    bool isRightLocked() const { return m_isRightLocked; }
    double rightWidth() const { return m_rightWidth; }

    // Enabling a panel also expands it; disabling it also collapses and unlocks it.
    void setIsLeftEnabled(bool value);
    void setIsLeftExpanded(bool value);
    void setIsLeftLocked(bool value);
    // Stored exactly as given: the caller clamps.
    void setLeftWidth(double value);
    void setIsRightEnabled(bool value);
    void setIsRightExpanded(bool value);
    void setIsRightLocked(bool value);
    void setRightWidth(double value);

    // Side-generic access for views that serve either panel.
    bool isEnabled(WorkspacePanelSide side) const;
    bool isExpanded(WorkspacePanelSide side) const;
    bool isLocked(WorkspacePanelSide side) const;
    double width(WorkspacePanelSide side) const;
    void setEnabled(WorkspacePanelSide side, bool value);
    void setExpanded(WorkspacePanelSide side, bool value);
    void setLocked(WorkspacePanelSide side, bool value);
    void setWidth(WorkspacePanelSide side, double value);
    // The side's width range applied to `proposed` (a non-finite value gives the minimum).
    static double clampedWidth(WorkspacePanelSide side, double proposed);

Q_SIGNALS:
    void isLeftEnabledChanged(bool value);
    void isLeftExpandedChanged(bool value);
    void isLeftLockedChanged(bool value);
    void leftWidthChanged(double value);
    void isRightEnabledChanged(bool value);
    void isRightExpandedChanged(bool value);
    void isRightLockedChanged(bool value);
    void rightWidthChanged(double value);

private:
    void store(bool& field, bool value, const char* key, void (WorkspacePanelState::*signal)(bool));
    void store(
        double& field, double value, const char* key, void (WorkspacePanelState::*signal)(double));

    std::shared_ptr<UserDefaults> m_defaults;
    bool m_isLeftEnabled = true;
    bool m_isLeftExpanded = true;
    bool m_isLeftLocked = false;
    double m_leftWidth = WorkspacePanelWidths::leftDefault;
    bool m_isRightEnabled = true;
    bool m_isRightExpanded = true;
    bool m_isRightLocked = false;
    double m_rightWidth = WorkspacePanelWidths::rightDefault;
};

} // namespace kivo
