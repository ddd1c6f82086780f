#include "app/SettingsPresenter.h"

#include "ui/eon/EonPalette.h"
#include "ui/songtable/TrackTableLayoutState.h"

#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

SettingsValues::SettingsValues()
    : accentColor(eonAccent())
{
}

SettingsPresenter::SettingsPresenter(
    TrackTableLayoutState& layout, UndoManager* undoManager, QObject* parent)
    : QObject(parent)
    , m_layout(layout)
    , m_undoManager(undoManager)
{
    connect(
        &layout, &TrackTableLayoutState::columnsChanged, this, &SettingsPresenter::columnsChanged);
    connect(&layout, &TrackTableLayoutState::recoveryMessageChanged, this,
        &SettingsPresenter::columnsChanged);
}

double SettingsValueFormat::shown(double value) const
{
    // A tiny epsilon keeps 0.29 * 100 (28.999…) at 29, as the value reads.
    return std::trunc(value * scale + 1e-9);
}

const SettingsValueFormat SettingsPresenter::percentFormat { 100, u"%"_s };
const SettingsValueFormat SettingsPresenter::pixelFormat { 1, u"px"_s };

const QList<AnimationSpeedChoice>& SettingsPresenter::animationSpeeds()
{
    static const QList<AnimationSpeedChoice> choices {
        { u"Instant"_s, 0.0 },
        { u"Fast"_s, 0.5 },
        { u"Smooth"_s, 1.0 },
    };
    return choices;
}

QString SettingsPresenter::columnCountText() const
{
    return u"%1/%2"_s.arg(m_layout.columns().size()).arg(allTrackTableColumnIDs().size());
}

bool SettingsPresenter::isColumnShown(TrackTableColumnID id) const
{
    return m_layout.visibleColumnIDs().contains(id);
}

void SettingsPresenter::setColumnShown(TrackTableColumnID id, bool shown)
{
    m_layout.setColumnVisible(id, shown, m_undoManager);
}

bool SettingsPresenter::canRestoreDefault() const
{
    return !m_layout.isDefaultLayout();
}

void SettingsPresenter::restoreDefault()
{
    m_layout.applyColumns(
        TrackTableLayoutState::defaultColumns(), u"Restore Song Columns"_s, m_undoManager);
}

QString SettingsPresenter::recoveryMessage() const
{
    return m_layout.recoveryMessage();
}

} // namespace kivo
