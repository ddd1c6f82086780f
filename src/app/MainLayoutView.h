#pragma once

#include "app/MainContentScreen.h"
#include "app/MainLayoutPresenter.h"

#include <QPointer>
#include <QWidget>
#include <memory>

class QLabel;
class QVBoxLayout;

namespace kivo {

class BottomPlayerView;
class DIContainer;
class EonGradientPanel;
class NowPlayingPanelView;
class PlaybackNavigationShortcutMonitor;
class RecoveryBannerView;
class ImportFileChooser;
class SettingsView;
class SidebarView;
class TrackListView;
class TrackTableLayoutState;
class UndoManager;
class WorkspacePanelDivider;
class WorkspacePanelRevealButton;

// The whole content of the main window: the sidebar, the content column, the
// now-playing inspector and the player bar, the side panels' dividers and
// reveal tabs, the recovery banner and the window outline. Regions whose own
// views have not arrived yet are empty panels of their size and background.
// Draws what the presenter holds and forwards gestures to it.
class MainLayoutView : public QWidget {
    Q_OBJECT
public:
    MainLayoutView(DIContainer& container, WorkspacePanelState& panels,
        TrackTableLayoutState& trackTableLayout, UndoManager& undoManager,
        QWidget* parent = nullptr);
    ~MainLayoutView() override;

    MainLayoutPresenter& presenter() const { return *m_presenter; }
    DIContainer& container() const { return m_container; }
    UndoManager& undoManager() const { return m_undoManager; }
    TrackTableLayoutState& trackTableLayout() const { return m_trackTableLayout; }

    QWidget& sidebarRegion() const;
    SidebarView& sidebar() const { return *m_sidebarView; }
    QWidget& contentRegion() const;
    QWidget& inspectorRegion() const;
    // The now-playing panel; it exists only while the right panel is shown.
    NowPlayingPanelView* nowPlayingPanel() const { return m_nowPlaying; }
    QWidget& playerBarRegion() const;
    BottomPlayerView& bottomPlayer() const { return *m_bottomPlayer; }
    WorkspacePanelDivider& divider(WorkspacePanelSide side) const;
    WorkspacePanelRevealButton& revealButton(WorkspacePanelSide side) const;
    RecoveryBannerView& banner() const { return *m_banner; }
    // The heading the content column shows.
    QString contentTitle() const;
    // The screen the content column shows: songs, favourites or a playlist.
    QWidget* contentScreen() const { return m_contentScreen.widget; }
    // Asks for the files the library screens import (none: a file dialog).
    void setImportFileChooser(ImportFileChooser* chooser);

    // Opens the settings sheet over the window (the sidebar's Settings
    // button); a sheet already open stays as it is.
    void showSettings();
    // The open settings sheet; null when none is open.
    SettingsView* settingsSheet() const;

Q_SIGNALS:
    // The sidebar's Settings button: whoever presents the settings sheet
    // listens here.
    void settingsRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void updatePanels();
    void updateNowPlaying(bool shown);
    void updateContent();
    void updateBanner();
    void placeOverlays();
    void orderFocusByRegion();

    DIContainer& m_container;
    WorkspacePanelState& m_panels;
    TrackTableLayoutState& m_trackTableLayout;
    UndoManager& m_undoManager;
    std::unique_ptr<MainLayoutPresenter> m_presenter;
    EonGradientPanel* m_sidebar;
    SidebarView* m_sidebarView;
    WorkspacePanelDivider* m_leftDivider;
    QWidget* m_content;
    QVBoxLayout* m_contentLayout;
    MainContentScreen m_contentScreen;
    std::optional<MainContent> m_shownContent;
    ImportFileChooser* m_importChooser = nullptr;
    WorkspacePanelDivider* m_rightDivider;
    EonGradientPanel* m_inspector;
    NowPlayingPanelView* m_nowPlaying = nullptr;
    EonGradientPanel* m_playerBar;
    BottomPlayerView* m_bottomPlayer;
    WorkspacePanelRevealButton* m_leftReveal;
    WorkspacePanelRevealButton* m_rightReveal;
    RecoveryBannerView* m_banner;
    QWidget* m_outline;
    PlaybackNavigationShortcutMonitor* m_arrowKeys;
    QPointer<SettingsView> m_settings;
};

} // namespace kivo
