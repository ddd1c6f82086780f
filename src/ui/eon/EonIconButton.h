#pragma once

#include "ui/eon/EonPressButtonStyle.h"

#include <QColor>
#include <QString>
#include <optional>

namespace kivo {

// The colours of an icon button in one state.
struct EonIconButtonLook {
    QColor icon;
    QColor fill; // transparent when there is none
    QColor outline; // transparent when there is none

    // Active: accent icon on the accent wash with an accent outline, hovered or
    // not. Inactive: secondary icon, a raised fill and the outline only while
    // hovered.
    static EonIconButtonLook forState(bool isActive, bool isHovering);
};

// A circular button showing one symbol, drawn at 14 semibold whatever its size.
// Its spoken label is the given label, else the symbol name.
class EonIconButton : public EonPressButton {
    Q_OBJECT
    Q_PROPERTY(QString symbolName READ symbolName WRITE setSymbolName)
    Q_PROPERTY(bool isActive READ isActive WRITE setActive)
public:
    EonIconButton(const QString& symbolName, int size, bool isActive = false,
        std::optional<QString> accessibilityLabel = std::nullopt, QWidget* parent = nullptr);

    const QString& symbolName() const { return m_symbolName; }
    void setSymbolName(const QString& name);
    bool isActive() const { return m_isActive; }
    void setActive(bool active);
    // Absent: the symbol name is spoken.
    void setAccessibilityLabel(std::optional<QString> label);

    EonIconButtonLook look() const { return EonIconButtonLook::forState(m_isActive, isHovering()); }

protected:
    void paintLabel(QPainter& painter, const QRectF& bounds) override;

private:
    void updateAccessibleName();

    QString m_symbolName;
    bool m_isActive = false;
    std::optional<QString> m_accessibilityLabel;
};

} // namespace kivo
