// The window as a user drives it: arrow keys over the focused song table, a
// song that cannot play, and every window size from the minimum up.
#include "AppOnTempFolder.h"
#include "app/MainLayoutView.h"
#include "app/MainWindow.h"
#include "app/WorkspacePanelDivider.h"
#include "app/WorkspacePanelState.h"
#include "engines/library/LibraryEngineImpl.h"
#include "engines/playback/AudioEngineImpl.h"
#include "engines/playback/QueueEngineImpl.h"
#include "support/TempDir.h"
#include "support/WavWriter.h"
#include "ui/eon/EonIconButton.h"
#include "ui/eon/EonSymbolButton.h"
#include "ui/player/BottomPlayerView.h"
#include "ui/player/PlayerIssueBanner.h"
#include "ui/player/PlayerTrackInfoView.h"
#include "ui/player/PlayerTransportControls.h"
#include "ui/player/PlayerVolumeControl.h"
#include "ui/songtable/TrackListHeaderView.h"
#include "ui/songtable/TrackListTableView.h"
#include "ui/songtable/TrackListView.h"

#include <QAbstractScrollArea>
#include <QDir>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace kivo;
using namespace Qt::Literals::StringLiterals;

namespace {

class WindowUseTest : public test::TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        app = test::startAppIn(dir.path());
        ASSERT_TRUE(app->container().isBootstrapFinished());
        ASSERT_TRUE(test::importTones(*app, dir.path(), { u"A"_s, u"B"_s, u"C"_s }, 0.5));
        window().show();
        window().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    }

    MainWindow& window() const { return app->mainWindow(); }
    MainLayoutView& layout() const { return window().layoutView(); }
    BottomPlayerView& bar() const { return layout().bottomPlayer(); }
    QueueEngine& queue() const { return app->container().queueEngine(); }
    QString playing() const
    {
        return queue().currentTrack() ? queue().currentTrack()->title : u"-"_s;
    }
    QList<Track> songs() const { return app->container().libraryEngine().allTracks(); }

    TrackListTableView& table() const
    {
        auto* list = layout().contentScreen()->findChild<TrackListView*>();
        EXPECT_TRUE(list);
        return *list->table();
    }

    std::unique_ptr<TavrenMediaStudioApp> app;
};

TEST_F(WindowUseTest, BareArrowsOverTheFocusedTableChangeSongsWithoutScrollingIt)
{
    ASSERT_EQ(songs().size(), 3);
    queue().playNow(songs(), 0);
    const QString first = playing();
    table().setFocus();
    ASSERT_TRUE(table().hasFocus());
    QScrollBar& sideways = *table().horizontalScrollBar();
    ASSERT_GT(sideways.maximum(), 0); // the columns are wider than the table

    QTest::keyClick(&table(), Qt::Key_Right);
    EXPECT_EQ(playing(), songs()[1].title);
    EXPECT_EQ(sideways.value(), 0);
    QTest::keyClick(&table(), Qt::Key_Left);
    EXPECT_EQ(playing(), first);
    EXPECT_EQ(sideways.value(), 0);

    // A click on the player bar's buttons leaves the arrows to playback.
    QTest::mouseClick(&bar().transport().nextButton(), Qt::LeftButton);
    ASSERT_EQ(playing(), songs()[1].title);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
    EXPECT_EQ(playing(), first) << QApplication::focusWidget()->metaObject()->className();

    // Nothing to go back to: the key is left to the table, which still stays put.
    queue().playNow({ songs()[0] }, 0);
    QTest::keyClick(&table(), Qt::Key_Right);
    EXPECT_EQ(sideways.value(), 0);

    auto* field = new QLineEdit(&layout()); // as the search overlay's field
    field->show();
    field->setFocus();
    queue().playNow(songs(), 0);
    QTest::keyClick(field, Qt::Key_Right);
    EXPECT_EQ(playing(), first);
}

TEST_F(WindowUseTest, AFailedSongsStatusAndBannerAreItsOwnAndEndWhenASongPlays)
{
    queue().playNow(songs(), 0);
    app->container().audioEngine().pause();
    Track gone = songs()[1];
    QFile::remove(gone.fileURL.toLocalFile());

    queue().playNow({ gone }, 0);
    EXPECT_EQ(bar().trackInfo().title(), songs()[0].title);
    EXPECT_EQ(bar().trackInfo().status(), u"READY TO RESUME"); // not the other song's failure
    EXPECT_TRUE(bar().banner().isVisible());
    EXPECT_TRUE(bar().banner().message().contains(gone.fileURL.toLocalFile()));

    QTest::mouseClick(&bar().transport().playPauseButton(), Qt::LeftButton); // resumes A
    EXPECT_EQ(bar().trackInfo().status(), u"NOW PLAYING");
    EXPECT_FALSE(bar().banner().isVisible());
}

// Every shown widget under `root` that reaches past its parent or overlaps a
// shown sibling, by object name (or class). Scrolled content is exempt from
// its viewport's bounds; overlays that clicks pass through (a focus ring) lie
// over their siblings by design.
QStringList layoutFaults(const QWidget& root)
{
    const auto name = [](const QWidget* w) {
        return w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                         : w->objectName();
    };
    QStringList faults;
    QList<const QWidget*> shown;
    for (QObject* child : root.children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget && !widget->isWindow() && widget->isVisibleTo(&root)
            && !widget->testAttribute(Qt::WA_TransparentForMouseEvents)) {
            shown << widget;
        }
    }
    const auto* area = qobject_cast<const QAbstractScrollArea*>(root.parentWidget());
    const bool scrolled = area && area->viewport() == &root;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        const QRect frame = shown[i]->geometry();
        if (!scrolled && !root.rect().contains(frame)) {
            faults << name(shown[i]) + u" past "_s + name(&root);
        }
        for (qsizetype j = i + 1; j < shown.size(); ++j) {
            if (frame.intersects(shown[j]->geometry())) {
                faults << name(shown[i]) + u" over "_s + name(shown[j]);
            }
        }
        faults << layoutFaults(*shown[i]);
    }
    return faults;
}

TEST_F(WindowUseTest, EverySizeFromTheMinimumUpLaysOutWithoutClippingOrOverlap)
{
    queue().playNow(songs(), 0);
    auto* header = layout().contentScreen()->findChild<TrackListHeaderView*>();
    ASSERT_TRUE(header);
    WorkspacePanelState& panels = app->panelState();
    const struct {
        const char* name;
        bool left, right;
    } arrangements[] = { { "both panels", true, true }, { "left collapsed", false, true },
        { "right collapsed", true, false } };
    for (const auto& arrangement : arrangements) {
        panels.setIsLeftExpanded(arrangement.left);
        panels.setIsRightExpanded(arrangement.right);
        for (const int width : { 900, 960, 1019, 1020, 1100, 1320, 1600 }) {
            SCOPED_TRACE(std::string(arrangement.name) + " at " + std::to_string(width));
            window().resize(width, 820);
            QCoreApplication::processEvents();
            ASSERT_EQ(layout().width(), width);
            for (QWidget* region : { &layout().sidebarRegion(), &layout().inspectorRegion() }) {
                if (region->isVisible()) {
                    EXPECT_THAT(layoutFaults(*region), testing::IsEmpty());
                    EXPECT_GE(region->geometry().left(), 0);
                    EXPECT_LE(region->geometry().right(), layout().rect().right());
                }
            }
            EXPECT_THAT(layoutFaults(*header), testing::IsEmpty());
            // The header's controls stay inside the content, clear of the dividers' chevrons.
            const QRect content(header->mapTo(&layout(), QPoint()), header->size());
            for (const WorkspacePanelSide side :
                { WorkspacePanelSide::left, WorkspacePanelSide::right }) {
                const WorkspacePanelDivider& divider = layout().divider(side);
                if (!divider.isVisible()) {
                    continue;
                }
                EXPECT_FALSE(content.intersects(divider.geometry()));
                const EonSymbolButton& chevron = divider.collapseButton();
                const QRect chevronFrame(chevron.mapTo(&layout(), QPoint()), chevron.size());
                for (const QWidget* control : header->findChildren<QWidget*>()) {
                    if (control->isVisible()) {
                        EXPECT_FALSE(QRect(control->mapTo(&layout(), QPoint()), control->size())
                                         .intersects(chevronFrame))
                            << control->metaObject()->className();
                    }
                }
            }
            EXPECT_LE(content.right(), layout().rect().right());
            auto* volume = bar().findChild<PlayerVolumeControl*>();
            EXPECT_EQ(volume && volume->isVisibleTo(&bar()), width >= 1020);
        }
    }
}

} // namespace
