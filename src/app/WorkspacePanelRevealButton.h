#pragma once

#include "app/WorkspacePanelState.h"
#include "ui/eon/EonSymbolButton.h"

namespace kivo {

// The tab at the window edge that brings a collapsed side panel back. While
// the panel is locked it shows a lock and is disabled.
class WorkspacePanelRevealButton : public EonSymbolButton {
    Q_OBJECT
public:
    explicit WorkspacePanelRevealButton(WorkspacePanelSide side, QWidget* parent = nullptr);

    void setLocked(bool isLocked);
    bool isLocked() const { return m_isLocked; }

protected:
    void paintBackground(QPainter& painter, const QRectF& bounds) override;

private:
    WorkspacePanelSide m_side;
    bool m_isLocked = false;
};

} // namespace kivo
