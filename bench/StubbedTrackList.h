#pragma once

#include "support/StubAudioEngine.h"
#include "support/StubLibraryEngine.h"
#include "support/StubQueueEngine.h"
#include "ui/editing/EditingFakes.h"

#include "platform/UndoManager.h"
#include "platform/UserDefaults.h"
#include "ui/songtable/TrackListView.h"
#include "ui/songtable/TrackTableLayoutState.h"

#include <memory>

namespace kivo::bench {

// A song list over stub engines, its column layout kept in `layoutFile`.
template <typename Queue = test::StubQueueEngine> struct StubbedTrackList {
    explicit StubbedTrackList(const QString& layoutFile)
        : layout(std::make_shared<SettingsUserDefaults>(layoutFile))
        , view(TrackListDependencies { library, queue, audio, artwork, metadata, undo, layout })
    {
    }

    // Shows `tracks` under `title` in a 1320 x 820 window, as a screen does.
    void show(const QString& title, QList<Track> tracks)
    {
        view.resize(1320, 820);
        view.show();
        view.setTitle(title);
        view.setTracks(std::move(tracks));
    }

    test::StubLibraryEngine library;
    Queue queue;
    test::StubAudioEngine audio;
    test::ScriptedArtworkCache artwork;
    test::FakeMetadataEngine metadata;
    UndoManager undo;
    TrackTableLayoutState layout;
    TrackListView view;
};

} // namespace kivo::bench
