#pragma once

#include "app/SettingsControls.h"
#include "app/SettingsPresenter.h"

#include <QDialog>
#include <QMap>

class QLabel;

namespace kivo {

class ColorWell;
class EonPressButton;
class SegmentedPicker;
class SettingsCheckBox;
class SettingsSlider;
class SettingsSwitch;
class SymbolTextButton;

// The settings sheet: a 540 by 600 scrolling sheet with the appearance,
// layout and behaviour groups and the song-column card. Each opening is a new
// sheet, so its local values start afresh. The close button and Escape close it.
class SettingsView : public QDialog {
    Q_OBJECT
public:
    static constexpr QSize fixedSize { 540, 600 };

    SettingsView(
        TrackTableLayoutState& layout, UndoManager* undoManager, QWidget* parent = nullptr);

    SettingsPresenter& presenter() { return m_presenter; }

    SettingsSwitch& accentSwitch() const { return *m_accentSwitch; }
    QWidget& manualAccentRow() const { return *m_manualAccentRow; }
    SettingsSlider& transparencySlider() const { return *m_transparency; }
    SettingsSwitch& compactSwitch() const { return *m_compact; }
    SettingsSlider& cornerRadiusSlider() const { return *m_cornerRadius; }
    SettingsSlider& fontScaleSlider() const { return *m_fontScale; }
    SegmentedPicker& animationSpeedPicker() const { return *m_animationSpeed; }
    SettingsCheckBox& columnToggle(TrackTableColumnID id) const
    {
        return *m_columnToggles.value(id);
    }
    QString columnCountText() const;
    SymbolTextButton& restoreButton() const { return *m_restore; }
    EonPressButton& closeButton() const { return *m_close; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget* buildHeader();
    QWidget* buildColumnCard();
    void showValues();
    void showColumns();

    SettingsPresenter m_presenter;
    EonPressButton* m_close = nullptr;
    SettingsSwitch* m_accentSwitch = nullptr;
    QWidget* m_manualAccentRow = nullptr;
    ColorWell* m_accentWell = nullptr;
    SettingsSlider* m_transparency = nullptr;
    SettingsSwitch* m_compact = nullptr;
    SettingsSlider* m_cornerRadius = nullptr;
    SettingsSlider* m_fontScale = nullptr;
    SegmentedPicker* m_animationSpeed = nullptr;
    QMap<TrackTableColumnID, SettingsCheckBox*> m_columnToggles;
    QLabel* m_columnCount = nullptr;
    QLabel* m_recovery = nullptr;
    SymbolTextButton* m_restore = nullptr;
};

} // namespace kivo
