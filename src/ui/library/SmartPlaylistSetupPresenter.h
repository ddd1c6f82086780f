#pragma once

#include "ui/library/SmartRule.h"

#include <QObject>
#include <QPointer>
#include <functional>

namespace kivo {

class PlaylistEngine;

// The smart playlist setup sheet's state and actions: a name, ALL or ANY, and
// a list of rules that the sheet's own controls never empty. Create turns the
// rules into the criteria text and asks the playlist engine for a top-level
// smart playlist with the name exactly as typed. `onCancel` (optional) runs
// on Cancel and after a successful create; the host dismisses the sheet in it.
// Nothing is reset afterwards. Main thread only.
class SmartPlaylistSetupPresenter : public QObject {
    Q_OBJECT
public:
    explicit SmartPlaylistSetupPresenter(
        PlaylistEngine& playlists, std::function<void()> onCancel = {}, QObject* parent = nullptr);

    // "Untitled Smart Playlist" at first.
    const QString& playlistName() const { return m_playlistName; }
    void setPlaylistName(const QString& name);
    // True (ALL) at first.
    bool matchAllRules() const { return m_matchAllRules; }
    void setMatchAllRules(bool matchAll);
    // One default rule at first.
    const QList<SmartRule>& rules() const { return m_rules; }

    // Appends a default rule (Artist, contains, empty).
    void addRule();
    // Removes every rule with this id.
    void removeRule(const QUuid& id);
    // Writes a row's edit into the rule with the same id.
    void updateRule(const SmartRule& rule);

    // Create needs a name (blanks count) and at least one rule.
    bool canCreate() const { return !m_playlistName.isEmpty() && !m_rules.isEmpty(); }
    // A rule can go while two or more are left.
    bool canRemoveRules() const { return m_rules.size() >= 2; }

    void cancel();
    // Returns whether the playlist was made (never while canCreate() is
    // false). A failure is printed ("Failed to
    // create smart playlist: …") and changes nothing, so Create can be retried.
    bool create();

Q_SIGNALS:
    // The list gained or lost a rule (edits within a rule do not count).
    void rulesChanged();
    // Anything that may change canCreate().
    void stateChanged();

private:
    QPointer<PlaylistEngine> m_playlists;
    std::function<void()> m_onCancel;
    QString m_playlistName;
    bool m_matchAllRules = true;
    QList<SmartRule> m_rules;
};

} // namespace kivo
