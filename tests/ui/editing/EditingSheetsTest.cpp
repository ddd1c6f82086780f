#include "EditingFakes.h"
#include "ui/editing/BulkMetadataEditorSheet.h"
#include "ui/editing/ImageFileChooser.h"
#include "ui/editing/InspectorView.h"
#include "ui/editing/TrackMetadataEditorSheet.h"
#include "ui/eon/EonElidedLabel.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace kivo;
using namespace kivo::test;
using namespace Qt::Literals::StringLiterals;

namespace {

// Hands back the file it is told to; records that it was asked.
class FakeChooser final : public ImageFileChooser {
public:
    QUrl next;
    void chooseImage(QWidget*, std::function<void(QUrl)> done) override { done(next); }
};

template <typename Widget> Widget* child(QWidget& parent, const QString& name)
{
    auto* found = parent.findChild<Widget*>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
}

void activate(QWidget& window)
{
    window.show();
    window.activateWindow();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

struct SongSheet {
    ScriptedArtworkCache cache;
    FakeMetadataEngine metadata;
    FakeChooser chooser;
    Track track = sampleTrack(u"<b>Bold</b> & <img src=x>"_s);
    QList<Track> saved;
    bool accept = true;
    std::unique_ptr<TrackMetadataEditorSheet> sheet;

    SongSheet()
    {
        sheet = std::make_unique<TrackMetadataEditorSheet>(track, u"<i>failed</i>"_s,
            TrackMetadataEditorSheet::Services { cache, metadata, &chooser, fakeLoad },
            [this](Track edited) -> QCoro::Task<bool> {
                saved << edited;
                co_return accept;
            });
    }
    QLineEdit* field(const char* name)
    {
        return child<QLineEdit>(*sheet, u"metadataEditor."_s + QString::fromUtf8(name));
    }
};

} // namespace

TEST(TrackMetadataEditorSheet, KeysSaveOnlyWithCtrlReturnWhileSaveIsEnabled)
{
    SongSheet f;
    activate(*f.sheet);
    QSignalSpy cancels(f.sheet.get(), &TrackMetadataEditorSheet::cancelRequested);
    QLineEdit* title = f.field("title");
    title->setFocus();
    QTest::keyClick(title, Qt::Key_Return);
    QTest::keyClick(title, Qt::Key_Escape); // cancels, never saves
    EXPECT_TRUE(f.saved.isEmpty());
    EXPECT_TRUE(f.sheet->isVisible());

    f.field("duration")->setText(u"inf"_s);
    QTest::keyClick(title, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_TRUE(f.saved.isEmpty());
    EXPECT_FALSE(child<QPushButton>(*f.sheet, u"metadataEditor.save"_s)->isEnabled());

    f.field("duration")->setText(u"3:36"_s);
    QTest::keyClick(title, Qt::Key_Return, Qt::ControlModifier);
    ASSERT_EQ(f.saved.size(), 1);
    EXPECT_EQ(f.saved.first().title, f.track.title);
    auto* lyrics = child<QWidget>(*f.sheet, u"metadataEditor.lyrics"_s);
    lyrics->setFocus();
    QTest::keyClick(lyrics, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(f.saved.size(), 2);
    EXPECT_EQ(cancels.count(), 1);
}

TEST(TrackMetadataEditorSheet, WindowCloseIsCancelAndUserTextStaysLiteral)
{
    SongSheet f;
    activate(*f.sheet);
    QSignalSpy cancels(f.sheet.get(), &TrackMetadataEditorSheet::cancelRequested);
    EXPECT_FALSE(f.sheet->close()); // the presenter closes it, never the sheet itself
    EXPECT_EQ(cancels.count(), 1);
    EXPECT_TRUE(f.saved.isEmpty());

    EXPECT_EQ(f.field("title")->text(), f.track.title);
    auto* error = child<QLabel>(*f.sheet, u"metadataEditor.error"_s);
    EXPECT_EQ(error->textFormat(), Qt::PlainText);
    EXPECT_EQ(error->text(), u"<i>failed</i>"_s);
    f.sheet->setErrorMessage(std::nullopt);
    EXPECT_TRUE(error->isHidden());
}

TEST(TrackMetadataEditorSheet, ChosenArtworkIsStoredOnlyWhenTheSaveIsAccepted)
{
    for (const bool accept : { false, true }) {
        SongSheet f;
        f.accept = accept;
        f.sheet->present();
        f.chooser.next = picked("cover.png");
        child<QPushButton>(*f.sheet, u"metadataEditor.chooseArtwork"_s)->click();
        ASSERT_TRUE(QTest::qWaitFor([&] { return f.sheet->artwork().artworkData().has_value(); }));
        child<QPushButton>(*f.sheet, u"metadataEditor.save"_s)->click();
        QTest::qWait(20);
        EXPECT_EQ(f.saved.size(), 1);
        EXPECT_EQ(f.cache.calls.join(u' '), accept ? u"store:cover.png"_s : u""_s);
    }
}

TEST(BulkMetadataEditorSheet, KeysWindowCloseAndSaving)
{
    QList<Track> songs { sampleTrack(u"A"_s), sampleTrack(u"B"_s), sampleTrack(u"C"_s) };
    FakeChooser chooser;
    BulkMetadataEditorSheet sheet(songs, std::nullopt, false, &chooser, fakeLoad);
    activate(sheet);
    QSignalSpy applies(&sheet, &BulkMetadataEditorSheet::applyRequested);
    QSignalSpy cancels(&sheet, &BulkMetadataEditorSheet::cancelRequested);
    auto* apply = child<QPushButton>(sheet, u"sharedMetadata.apply"_s);
    ASSERT_NE(sheet.findChild<QWidget*>(u"sharedMetadata.artwork"_s), nullptr);
    EXPECT_EQ(apply->text(), u"Apply to 3 Songs"_s);

    QTest::keyClick(apply, Qt::Key_Return, Qt::ControlModifier); // nothing switched on
    EXPECT_EQ(applies.count(), 0);
    sheet.form().setApplied(SharedEditorForm::Field::genre, true);
    auto* genre = sheet.findChildren<QLineEdit*>().at(3);
    genre->setFocus();
    QTest::keyClicks(genre, u"Jazz"_s);
    QTest::keyClick(genre, Qt::Key_Return);
    QTest::keyClick(genre, Qt::Key_Escape); // cancels, never applies
    EXPECT_EQ(applies.count(), 0);
    EXPECT_EQ(cancels.count(), 1);
    QTest::keyClick(genre, Qt::Key_Return, Qt::ControlModifier);
    ASSERT_EQ(applies.count(), 1);
    EXPECT_EQ(qvariant_cast<SharedTrackMetadataPatch>(applies.first().at(0)).genre,
        OptionalMetadataChange<QString>::set(u"Jazz"_s));

    sheet.setSaving(true);
    EXPECT_EQ(apply->text(), u"Applying…"_s);
    EXPECT_FALSE(genre->isEnabled());
    sheet.close();
    QTest::keyClick(&sheet, Qt::Key_Escape, Qt::ControlModifier);
    EXPECT_EQ(cancels.count(), 1); // not while saving
    sheet.setSaving(false);
    sheet.setErrorMessage(u"<b>Disk full</b>"_s);
    EXPECT_EQ(genre->text(), u"Jazz"_s);
    auto* message = child<QLabel>(sheet, u"sharedMetadata.message"_s);
    EXPECT_EQ(message->textFormat(), Qt::PlainText);
    EXPECT_EQ(message->text(), u"<b>Disk full</b>"_s);
    EXPECT_TRUE(apply->isEnabled());
    EXPECT_FALSE(sheet.close());
    EXPECT_EQ(cancels.count(), 2);
}

TEST(InspectorView, TypingWritesTheSongAndTitlesStayLiteral)
{
    Track song = sampleTrack(u"<b>x</b>"_s);
    InspectorView view(song);
    QSignalSpy edits(&view, &InspectorView::trackEdited);
    EXPECT_EQ(edits.count(), 0);
    auto* title = child<QLabel>(view, u"inspector.title"_s);
    EXPECT_EQ(title->textFormat(), Qt::PlainText);
    EXPECT_EQ(title->text(), u"<b>x</b>"_s);
    QTest::keyClicks(child<QLineEdit>(view, u"inspector.artist"_s), u"Me"_s);
    ASSERT_EQ(edits.count(), 2);
    EXPECT_EQ(qvariant_cast<Track>(edits.last().at(0)).artist, u"Me"_s);
}

TEST(EditingSheets, ButtonsStayInViewWhileOnlyTheFieldsScroll)
{
    SongSheet song;
    FakeChooser chooser;
    BulkMetadataEditorSheet shared(
        { sampleTrack(u"A"_s), sampleTrack(u"B"_s) }, std::nullopt, false, &chooser, fakeLoad);
    const std::pair<QDialog*, QString> sheets[] = { { song.sheet.get(), u"metadataEditor.save"_s },
        { &shared, u"sharedMetadata.apply"_s } };
    for (const auto& [sheet, saveName] : sheets) {
        sheet->show();
        QApplication::processEvents();
        auto* save = child<QPushButton>(*sheet, saveName);
        auto* scroll = sheet->findChild<QScrollArea*>();
        ASSERT_TRUE(save && scroll);
        EXPECT_FALSE(scroll->isAncestorOf(save)) << saveName.toStdString();
        const QRect shown(save->mapTo(sheet, QPoint()), save->size());
        EXPECT_TRUE(sheet->rect().contains(shown)) << saveName.toStdString();
    }
}

TEST(InspectorView, TheFileNameEndsInAnEllipsisOnOneLine)
{
    Track song = sampleTrack(u"Song"_s);
    song.filename = u"A very long file name that cannot fit in the inspector at all.flac"_s;
    InspectorView view(song);
    view.resize(220, 900);
    view.show();
    QApplication::processEvents();
    auto* name = child<EonElidedLabel>(view, u"inspector.filename"_s);
    EXPECT_EQ(name->text(), song.filename);
    EXPECT_TRUE(name->shownText().endsWith(u'\u2026')) << name->shownText().toStdString();
    EXPECT_LE(name->fontMetrics().horizontalAdvance(name->shownText()), name->width());
    // Everything fits: no scroll bar.
    EXPECT_FALSE(view.verticalScrollBar()->isVisible());
}
