#include "ui/library/SmartPlaylistSetupPresenter.h"

#include "engines/library/PlaylistEngine.h"
#include "model/Logging.h"

using namespace Qt::Literals::StringLiterals;

namespace kivo {

SmartPlaylistSetupPresenter::SmartPlaylistSetupPresenter(
    PlaylistEngine& playlists, std::function<void()> onCancel, QObject* parent)
    : QObject(parent)
    , m_playlists(&playlists)
    , m_onCancel(std::move(onCancel))
    , m_playlistName(u"Untitled Smart Playlist"_s)
    , m_rules({ SmartRule::make() })
{
}

void SmartPlaylistSetupPresenter::setPlaylistName(const QString& name)
{
    if (name != m_playlistName) {
        m_playlistName = name;
        Q_EMIT stateChanged();
    }
}

void SmartPlaylistSetupPresenter::setMatchAllRules(bool matchAll)
{
    if (matchAll != m_matchAllRules) {
        m_matchAllRules = matchAll;
        Q_EMIT stateChanged();
    }
}

void SmartPlaylistSetupPresenter::addRule()
{
    m_rules.append(SmartRule::make());
    Q_EMIT rulesChanged();
    Q_EMIT stateChanged();
}

void SmartPlaylistSetupPresenter::removeRule(const QUuid& id)
{
    if (m_rules.removeIf([&](const SmartRule& rule) { return rule.id == id; }) > 0) {
        Q_EMIT rulesChanged();
        Q_EMIT stateChanged();
    }
}

void SmartPlaylistSetupPresenter::updateRule(const SmartRule& rule)
{
    for (SmartRule& existing : m_rules) {
        if (existing.id == rule.id) {
            existing = rule;
        }
    }
}

void SmartPlaylistSetupPresenter::cancel()
{
    if (m_onCancel) {
        m_onCancel();
    }
}

bool SmartPlaylistSetupPresenter::create()
{
    if (!m_playlists || !canCreate()) {
        return false;
    }
    try {
        m_playlists->createSmartPlaylist(
            m_playlistName, smartCriteriaText(m_rules, m_matchAllRules), std::nullopt);
    } catch (const std::exception& error) {
        reportFailure(logging::playlist,
            u"Failed to create smart playlist: "_s + QString::fromUtf8(error.what()));
        return false;
    }
    cancel();
    return true;
}

} // namespace kivo
