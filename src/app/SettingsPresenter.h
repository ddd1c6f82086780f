#pragma once

#include "ui/songtable/TrackTableColumn.h"

#include <QColor>
#include <QList>
#include <QObject>
#include <QString>

namespace kivo {

class TrackTableLayoutState;
class UndoManager;

// The sheet's own appearance and behaviour values. They live only while the
// sheet is open and reach nothing else: each opening starts from these.
struct SettingsValues {
    QColor accentColor;
    bool useDynamicAccent = true;
    double roundedCorners = 8.0;
    double animationSpeed = 1.0;
    double fontSizeScale = 1.0;
    bool isCompactMode = false;
    double panelTransparency = 0.78;

    SettingsValues();
    bool operator==(const SettingsValues&) const = default;
};

// One choice of the animation speed picker.
struct AnimationSpeedChoice {
    QString title;
    double value;
};

// How a slider's value reads on screen: the value times `scale`, truncated
// toward zero, then `unit` (0.78 → "78%", 8.9 → "8px"). Assistive technology
// is given the same number.
struct SettingsValueFormat {
    double scale;
    QString unit;

    double shown(double value) const;
    QString text(double value) const { return QString::number(qint64(shown(value))) + unit; }
};

// The settings sheet without its widgets: the local values, their texts, and
// the song-column card over the program's one TrackTableLayoutState. Column
// changes go through the layout state with the window's undo manager, so
// they show at once in every song table and can be undone; the card keeps no
// copy of the layout. Main thread only.
class SettingsPresenter : public QObject {
    Q_OBJECT
public:
    // `undoManager` may be null: changes are then made without an undo step.
    SettingsPresenter(
        TrackTableLayoutState& layout, UndoManager* undoManager, QObject* parent = nullptr);

    SettingsValues& values() { return m_values; }
    const SettingsValues& values() const { return m_values; }
    // The manual colour row shows only while the accent is not taken from artwork.
    bool showsManualAccent() const { return !m_values.useDynamicAccent; }

    static const SettingsValueFormat percentFormat;
    static const SettingsValueFormat pixelFormat;
    static QString percentText(double value) { return percentFormat.text(value); }
    static QString pixelText(double value) { return pixelFormat.text(value); }
    // "Instant" 0, "Fast" 0.5, "Smooth" 1, in that order.
    static const QList<AnimationSpeedChoice>& animationSpeeds();

    // The song-column card.
    // Shown columns "/" all column kinds: "12/12" for the default layout.
    QString columnCountText() const;
    bool isColumnShown(TrackTableColumnID id) const;
    // Undoable as "Show Song Column" or "Remove Song Column".
    void setColumnShown(TrackTableColumnID id, bool shown);
    // False while the layout is the default one.
    bool canRestoreDefault() const;
    // Undoable as "Restore Song Columns".
    void restoreDefault();
    // The layout's last load or save problem; empty when none.
    QString recoveryMessage() const;

Q_SIGNALS:
    // The column layout or its recovery message changed: read the card again.
    void columnsChanged();

private:
    TrackTableLayoutState& m_layout;
    UndoManager* m_undoManager;
    SettingsValues m_values;
};

} // namespace kivo
