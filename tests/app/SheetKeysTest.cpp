// One keyboard rule over every sheet, alert and panel of the window: Escape
// cancels without saving, a bare Return confirms only where the only field is
// a name (an alert's Return presses its default button), Ctrl+Return saves
// where the sheet saves.
#include "AppOnTempFolder.h"
#include "app/AboutView.h"
#include "app/LinkOpener.h"
#include "app/MainLayoutView.h"
#include "app/MainWindow.h"
#include "app/SettingsView.h"
#include "engines/artwork/ArtworkCacheImpl.h"
#include "engines/artwork/TrackRemovalCoordinator.h"
#include "engines/library/LibraryEngineImpl.h"
#include "engines/library/MetadataEngine.h"
#include "engines/library/PlaylistEngineImpl.h"
#include "engines/playback/QueueEngineImpl.h"
#include "support/TempDir.h"
#include "support/WavWriter.h"
#include "ui/editing/BulkMetadataEditorSheet.h"
#include "ui/editing/TrackMetadataEditorSheet.h"
#include "ui/eon/EonAlert.h"
#include "ui/eon/EonIconButton.h"
#include "ui/library/AddSongsSheet.h"
#include "ui/library/AddSongsSheetModel.h"
#include "ui/library/NewPlaylistSheet.h"
#include "ui/library/PlaylistDetailViewModel.h"
#include "ui/library/PlaylistRenameSheet.h"
#include "ui/library/SmartPlaylistSetupPresenter.h"
#include "ui/library/SmartPlaylistSetupView.h"
#include "ui/player/BottomPlayerView.h"
#include "ui/songtable/TrackListController.h"
#include "ui/songtable/TrackListOverlaysModifier.h"
#include "ui/songtable/TrackListView.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace kivo;
using namespace Qt::Literals::StringLiterals;

namespace {

class NoLinks final : public LinkOpener {
public:
    bool openLink(const QUrl&) override { return true; }
};

// One open sheet: where keys go, and what became of it.
struct OpenSheet {
    std::unique_ptr<QObject> owner; // the sheet and whatever it needs
    QWidget* sheet = nullptr;
    QWidget* focus = nullptr;
    std::function<bool()> saved;
    std::function<bool()> cancelled;
};

struct SheetCase {
    const char* name;
    bool returnConfirms;
    bool ctrlReturnSaves;
    std::function<OpenSheet()> open; // opened with an edit that may be saved
    // An alert whose default button, which Return and Ctrl+Return press, is Cancel.
    bool returnCancels = false;
};

class SheetKeysTest : public test::TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        app = test::startAppIn(dir.path());
        ASSERT_TRUE(app->container().isBootstrapFinished());
        ASSERT_TRUE(test::importTones(*app, dir.path(), { u"A"_s, u"B"_s }, 0.5));
        window().show();
        window().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    }

    MainWindow& window() const { return app->mainWindow(); }
    PlaylistEngine& playlists() const { return app->container().playlistEngine(); }
    QList<Track> songs() const { return app->container().libraryEngine().allTracks(); }
    bool hasPlaylist(const QString& name) const
    {
        const QList<Playlist> all = playlists().rootPlaylists();
        return std::any_of(
            all.cbegin(), all.cend(), [&](const Playlist& p) { return p.name == name; });
    }

    // A dialog counts as cancelled once it closed without saving.
    static OpenSheet dialog(
        std::unique_ptr<QObject> owner, QWidget* sheet, QWidget* focus, std::function<bool()> saved)
    {
        OpenSheet open { std::move(owner), sheet, focus, saved, {} };
        open.cancelled = [sheet, saved] { return !sheet->isVisible() && !saved(); };
        return open;
    }

    QList<SheetCase> cases()
    {
        DIContainer& c = app->container();
        return {
            { "New Playlist", true, true,
                [this] {
                    auto* sheet = new NewPlaylistSheet(playlists(), &window());
                    sheet->present();
                    auto* field = sheet->findChild<QLineEdit*>(u"newPlaylistName"_s);
                    field->setText(u"Mix"_s);
                    return dialog(std::unique_ptr<QObject>(sheet), sheet, field,
                        [this] { return hasPlaylist(u"Mix"_s); });
                } },
            { "Rename Playlist", true, true,
                [this] {
                    const Playlist old = playlists().createPlaylist(u"Old"_s);
                    auto* sheet = new PlaylistRenameSheet(playlists(), old, &window());
                    sheet->present();
                    auto* field = sheet->findChild<QLineEdit*>(u"renamePlaylistName"_s);
                    field->setText(u"Renamed"_s);
                    return dialog(std::unique_ptr<QObject>(sheet), sheet, field,
                        [this] { return hasPlaylist(u"Renamed"_s); });
                } },
            { "Edit Metadata", false, true,
                [this, &c] {
                    auto saves = std::make_shared<int>(0);
                    auto* sheet = new TrackMetadataEditorSheet(
                        songs()[0], std::nullopt, { c.artworkCache(), c.metadataEngine() },
                        [saves](Track) -> QCoro::Task<bool> {
                            ++*saves;
                            co_return true;
                        },
                        &window());
                    auto cancels = std::make_shared<int>(0);
                    QObject::connect(sheet, &TrackMetadataEditorSheet::cancelRequested, sheet,
                        [cancels] { ++*cancels; });
                    sheet->present();
                    auto* field = sheet->findChild<QLineEdit*>();
                    field->setFocus();
                    QTest::keyClicks(field, u"x"_s);
                    return OpenSheet { std::unique_ptr<QObject>(sheet), sheet, field,
                        [saves] { return *saves > 0; }, [cancels] { return *cancels > 0; } };
                } },
            { "Shared Metadata", false, true,
                [this] {
                    auto* sheet = new BulkMetadataEditorSheet(
                        songs(), std::nullopt, false, nullptr, {}, &window());
                    auto saves = std::make_shared<int>(0);
                    auto cancels = std::make_shared<int>(0);
                    QObject::connect(sheet, &BulkMetadataEditorSheet::applyRequested, sheet,
                        [saves] { ++*saves; });
                    QObject::connect(sheet, &BulkMetadataEditorSheet::cancelRequested, sheet,
                        [cancels] { ++*cancels; });
                    sheet->setWindowModality(Qt::WindowModal);
                    sheet->open();
                    // Every field starts off: it opens on the first switch, not on Close.
                    EXPECT_TRUE(qobject_cast<QCheckBox*>(sheet->focusWidget()));
                    sheet->findChild<QCheckBox*>()->setChecked(true);
                    auto* field = sheet->findChild<QLineEdit*>();
                    field->setFocus();
                    QTest::keyClicks(field, u"Someone"_s);
                    return OpenSheet { std::unique_ptr<QObject>(sheet), sheet, field,
                        [saves] { return *saves > 0; }, [cancels] { return *cancels > 0; } };
                } },
            { "Settings", false, false,
                [this] {
                    auto* sheet = new SettingsView(app->trackTableLayout(), nullptr, &window());
                    sheet->open();
                    return dialog(
                        std::unique_ptr<QObject>(sheet), sheet, sheet, [] { return false; });
                } },
            { "About", false, false,
                [] {
                    auto* links = new QObject;
                    static NoLinks opener;
                    auto* sheet = new AboutView(opener);
                    QObject::connect(links, &QObject::destroyed, sheet, [sheet] { delete sheet; });
                    sheet->show();
                    sheet->activateWindow();
                    return dialog(
                        std::unique_ptr<QObject>(links), sheet, sheet, [] { return false; });
                } },
            { "Add Songs", false, true,
                [this, &c] {
                    auto* owner = new QObject;
                    const Playlist list = playlists().createPlaylist(u"Target"_s);
                    auto* screen
                        = new PlaylistDetailViewModel(c.libraryEngine(), playlists(), list, owner);
                    auto* model = new AddSongsSheetModel(*screen, owner);
                    model->open();
                    auto* sheet = new AddSongsSheet(*model, &window());
                    QObject::connect(owner, &QObject::destroyed, sheet, [sheet] { delete sheet; });
                    sheet->present();
                    model->toggle(songs()[0].id);
                    return dialog(
                        std::unique_ptr<QObject>(owner), sheet, sheet, [this, id = list.id] {
                            const std::optional<Playlist> now = playlists().getPlaylist(id);
                            return now && !now->trackIDs.isEmpty();
                        });
                } },
            { "Smart Playlist", false, false,
                [this] {
                    auto cancels = std::make_shared<int>(0);
                    auto* owner = new QObject;
                    auto* presenter = new SmartPlaylistSetupPresenter(
                        playlists(), [cancels] { ++*cancels; }, owner);
                    auto* sheet = new SmartPlaylistSetupView(*presenter, &window());
                    QObject::connect(owner, &QObject::destroyed, sheet, [sheet] { delete sheet; });
                    sheet->open();
                    sheet->nameField()->setFocus();
                    return OpenSheet { std::unique_ptr<QObject>(owner), sheet, sheet->nameField(),
                        [this] { return playlists().rootPlaylists().size() > 0; },
                        [cancels] { return *cancels > 0; } };
                } },
            { "Delete Permanently alert", false, false,
                [this] {
                    auto* list = window().layoutView().contentScreen()->findChild<TrackListView*>();
                    const Track song = songs()[0];
                    list->controller().requestPermanentDeletion(song);
                    const QPointer<EonAlert> alert = list->overlays().deletionConfirmation();
                    auto owner = std::make_unique<QObject>();
                    // An alert still open at the end goes as its Cancel.
                    QObject::connect(owner.get(), &QObject::destroyed, alert, [alert] {
                        if (alert) {
                            alert->reject();
                        }
                    });
                    const QString file = song.fileURL.toLocalFile();
                    return OpenSheet { std::move(owner), alert, alert->defaultButton(),
                        [file] { return !QFile::exists(file); },
                        [alert, list, file] {
                            return !alert
                                && !list->controller()
                                        .removalCoordinator()
                                        .pendingPermanentDeletion()
                                && QFile::exists(file);
                        } };
                },
                true },
        };
    }

    std::unique_ptr<TavrenMediaStudioApp> app;
};

TEST_F(SheetKeysTest, EscapeCancelsReturnConfirmsOnlyANameAndCtrlReturnSaves)
{
    const int count = int(cases().size());
    for (int i = 0; i < count; ++i) {
        const struct {
            QKeyCombination key;
            const char* name;
        } presses[] = { { Qt::Key_Escape, "Escape" }, { Qt::Key_Return, "Return" },
            { Qt::ControlModifier | Qt::Key_Return, "Ctrl+Return" },
            { Qt::ControlModifier | Qt::Key_Escape, "Ctrl+Escape" } };
        for (const auto& press : presses) {
            SheetCase sheetCase = cases()[i];
            OpenSheet open = sheetCase.open();
            // Shortcuts reach the active window only, as with a real window manager.
            open.sheet->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(open.sheet)) << sheetCase.name;
            open.focus->setFocus();
            QTest::keyClick(open.focus, press.key.key(), press.key.keyboardModifiers());
            const bool escape = press.key.key() == Qt::Key_Escape;
            const bool ctrl = press.key.keyboardModifiers() != Qt::NoModifier;
            const bool shouldSave
                = !escape && (ctrl ? sheetCase.ctrlReturnSaves : sheetCase.returnConfirms);
            if (shouldSave) { // some saves finish after a wait
                EXPECT_TRUE(QTest::qWaitFor(open.saved, 2000))
                    << sheetCase.name << " " << press.name;
            }
            QCoreApplication::processEvents();
            EXPECT_EQ(open.saved(), shouldSave) << sheetCase.name << " " << press.name;
            const bool shouldCancel = escape || (sheetCase.returnCancels && !shouldSave);
            EXPECT_EQ(open.cancelled(), shouldCancel) << sheetCase.name << " " << press.name;
            for (const Playlist& playlist : playlists().rootPlaylists()) {
                playlists().deletePlaylist(playlist.id);
            }
        }
    }
}

TEST_F(SheetKeysTest, EscapeClosesTheQueuePanel)
{
    app->container().queueEngine().playNow(songs(), 0);
    BottomPlayerView& bar = window().layoutView().bottomPlayer();
    QTest::mouseClick(&bar.queueToggle(), Qt::LeftButton);
    ASSERT_TRUE(bar.queuePanel());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(bar.queuePanel());
}

} // namespace
