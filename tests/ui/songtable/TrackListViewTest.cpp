#include "ui/songtable/TrackListView.h"
#include "SongTableTestSupport.h"
#include "TrackListFakes.h"
#include "engines/artwork/TrackMetadataBatchCoordinator.h"
#include "engines/artwork/TrackRemovalCoordinator.h"
#include "platform/UndoManager.h"
#include "platform/UserDefaults.h"
#include "support/Await.h"
#include "ui/editing/BulkMetadataEditorSheet.h"
#include "ui/editing/EditingFakes.h"
#include "ui/editing/TrackMetadataEditorSheet.h"
#include "ui/songtable/TrackListHeaderView.h"
#include "ui/songtable/TrackListOverlaysModifier.h"
#include "ui/songtable/TrackTableLayoutState.h"

#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo {
namespace {

using test::settleUntil;
using test::songTrack;

class TrackListViewTest : public ::testing::Test, protected test::TrackListTestEngines {
protected:
    TrackListViewTest()
        : view(dependencies())
    {
        library.tracks = { songTrack(u"<img src=x>"_s), songTrack(u"B"_s), songTrack(u"C"_s) };
        view.setTitle(u"Favorites"_s);
        view.setTracks(library.tracks);
        view.resize(1000, 500);
        view.show();
    }

    // An editor's artwork load runs on by itself: let it end before the fakes go.
    ~TrackListViewTest() override { test::processEventsFor(30); }

    TrackListController& screen() { return view.controller(); }

    static QStringList labelTexts(const EonAlert* box)
    {
        QStringList texts;
        for (const QLabel* label : box->findChildren<QLabel*>()) {
            if (!label->text().isEmpty()) {
                EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->text().toStdString();
                texts << label->text();
            }
        }
        return texts;
    }

    TrackListView view;
};

TEST_F(TrackListViewTest, HeaderCountsAndTheEditButtonFromTwoSelected)
{
    TrackListHeaderView* header = view.header();
    EXPECT_EQ(header->titleLabel()->text(), u"Favorites"_s);
    EXPECT_EQ(header->countLabel()->text(), u"3 songs"_s);
    EXPECT_TRUE(header->editButton()->isHidden());
    screen().select(library.tracks[1], Qt::NoModifier);
    EXPECT_TRUE(header->editButton()->isHidden());
    screen().select(library.tracks[2], Qt::ShiftModifier);
    EXPECT_FALSE(header->editButton()->isHidden());
    EXPECT_EQ(header->editButton()->text(), u"Edit 2 Songs"_s);
    header->editButton()->click();
    ASSERT_TRUE(view.overlays().sharedEditorSheet());
    EXPECT_TRUE(view.overlays().sharedEditorSheet()->isVisible());
    screen().cancelSharedEditing();
    EXPECT_FALSE(view.overlays().sharedEditorSheet());

    view.setTracks({ library.tracks[0] });
    EXPECT_EQ(header->countLabel()->text(), u"1 songs"_s);
    EXPECT_TRUE(header->editButton()->isHidden());

    // Before the library is read, no count is claimed.
    for (const LibraryLoadState state : { LibraryLoadState::loading, LibraryLoadState::failed }) {
        library.setLoadState(state);
        EXPECT_TRUE(header->countLabel()->isHidden());
    }
    library.setLoadState(LibraryLoadState::loaded);
    EXPECT_FALSE(header->countLabel()->isHidden());
    EXPECT_EQ(header->countLabel()->text(), u"1 songs"_s);
}

TEST_F(TrackListViewTest, AnEmptyListShowsItsEmptyStateAsGiven)
{
    EXPECT_TRUE(view.isShowingTable());
    view.setEmptyState({ u"heart.slash"_s, u"No <b>Favorites</b>"_s, u"Rate songs"_s });
    view.setTracks({});
    EXPECT_FALSE(view.isShowingTable());
    EXPECT_EQ(view.emptyStateView()->symbolName(), u"heart.slash"_s);
    EXPECT_EQ(view.emptyStateView()->titleLabel()->text(), u"No <b>Favorites</b>"_s);
    EXPECT_EQ(view.emptyStateView()->titleLabel()->textFormat(), Qt::PlainText);
}

TEST_F(TrackListViewTest, DeletionConfirmationNamesTheSongAndDeletesOnlyOnConfirm)
{
    const Track target = library.tracks[0];
    screen().requestPermanentDeletion(target);
    EonAlert* box = view.overlays().deletionConfirmation();
    ASSERT_TRUE(box);
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->windowModality(), Qt::WindowModal);
    EXPECT_EQ(box->windowTitle(), u"Delete Track Permanently?"_s);
    EXPECT_TRUE(labelTexts(box).contains(
        u"\u201C<img src=x>\u201D will be removed from KIVO VOVID and its original file will "
        u"be deleted from disk. This cannot be undone."_s));
    QStringList buttons;
    for (QPushButton* button : box->buttons()) {
        buttons << button->text();
    }
    EXPECT_EQ(buttons, (QStringList { u"Cancel"_s, u"Delete Permanently"_s }));
    EXPECT_EQ(box->defaultButton(), box->button(EonAlert::Role::cancel));

    // Return presses the default, Cancel: nothing is deleted.
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(screen().removalCoordinator().pendingPermanentDeletion(), std::nullopt);
    screen().requestPermanentDeletion(target);
    box = view.overlays().deletionConfirmation();
    QTest::keyClick(box, Qt::Key_Escape);
    EXPECT_EQ(screen().removalCoordinator().pendingPermanentDeletion(), std::nullopt);
    EXPECT_TRUE(library.calls.isEmpty());

    screen().requestPermanentDeletion(target);
    box = view.overlays().deletionConfirmation();
    box->button(EonAlert::Role::destructive)->click();
    ASSERT_TRUE(settleUntil([&] { return !library.calls.isEmpty(); }));
    EXPECT_EQ(library.calls, QStringList { u"remove:<img src=x>:file"_s });
}

TEST_F(TrackListViewTest, AlertsShowErrorsAsPlainTextAndClearThemOnOK)
{
    library.failWith = u"<b>Disk</b> refused"_s;
    screen().remove(library.tracks[1], false);
    ASSERT_TRUE(settleUntil([&] { return view.overlays().alert() != nullptr; }));
    EonAlert* alert = view.overlays().alert();
    EXPECT_EQ(alert->windowTitle(), u"Track Removal Failed"_s);
    EXPECT_TRUE(labelTexts(alert).contains(u"<b>Disk</b> refused"_s));
    alert->button(u"OK"_s)->click();
    EXPECT_EQ(screen().removalAlertMessage(), std::nullopt);
    EXPECT_FALSE(view.overlays().alert());

    // A shared-edit error stays in its open sheet: Cancel closes it quietly,
    // while closing the sheet any other way with the error set raises the alert.
    screen().selectAll();
    SharedTrackMetadataPatch patch;
    patch.genre = OptionalMetadataChange<QString>::set(u"Jazz"_s);
    for (const bool cancel : { true, false }) {
        screen().editSelection();
        screen().saveSharedMetadata(patch);
        screen().cancelSharedEditing(); // ignored while saving
        ASSERT_TRUE(view.overlays().sharedEditorSheet());
        ASSERT_TRUE(settleUntil([&] { return !screen().batchCoordinator().isSaving(); }));
        EXPECT_FALSE(view.overlays().alert());
        if (cancel) {
            screen().cancelSharedEditing();
            EXPECT_FALSE(view.overlays().alert());
        } else {
            screen().batchCoordinator().setBatch(std::nullopt);
        }
    }
    ASSERT_TRUE(view.overlays().alert());
    EXPECT_EQ(view.overlays().alert()->windowTitle(), u"Metadata Update Failed"_s);
}

TEST_F(TrackListViewTest, TheSongEditorOpensForOneSongAndClosesOnCancel)
{
    screen().edit(library.tracks[2]);
    TrackMetadataEditorSheet* sheet = view.overlays().editorSheet();
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->form().original().title, u"C"_s);
    Q_EMIT sheet->cancelRequested();
    EXPECT_EQ(screen().editingTrack(), std::nullopt);
    EXPECT_FALSE(view.overlays().editorSheet());
}

} // namespace
} // namespace kivo
