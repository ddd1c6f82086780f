#include "ui/editing/SharedEditorForm.h"
#include "EditingFakes.h"

#include <gtest/gtest.h>

using namespace kivo;
using namespace kivo::test;
using namespace Qt::Literals::StringLiterals;
using Field = SharedEditorForm::Field;

namespace {

QList<Track> threeSongs()
{
    QList<Track> songs { sampleTrack(u"A"_s), sampleTrack(u"B"_s), sampleTrack(u"C"_s) };
    songs[0].artist = u"One"_s;
    songs[1].artist = u"Two"_s;
    for (Track& song : songs) {
        song.album = u"Shared"_s;
    }
    songs[0].setComposer(u"Someone"_s);
    songs[0].rating = 2;
    songs[1].rating = 4;
    return songs;
}

std::unique_ptr<SharedEditorForm> makeForm()
{
    return std::make_unique<SharedEditorForm>(threeSongs(), fakeLoad);
}

// The message line and Apply, as the user sees them.
QString status(const SharedEditorForm& form)
{
    return form.message().value_or(u"-"_s) + u" | "_s
        + (form.canApply() ? form.applyLabel() : u"(disabled)"_s);
}

} // namespace

TEST(SharedEditorForm, StartsFromWhatTheSongsShare)
{
    const auto form = makeForm();
    EXPECT_EQ(form->subtitle(), u"3 songs selected"_s);
    EXPECT_EQ(form->field(Field::artist).value, u""_s);
    EXPECT_EQ(form->placeholder(Field::artist), u"Mixed"_s);
    EXPECT_EQ(form->field(Field::album).value, u"Shared"_s);
    EXPECT_EQ(form->placeholder(Field::genre), u"Empty"_s);
    EXPECT_EQ(form->placeholder(Field::composer), u"Mixed"_s);
    EXPECT_FALSE(form->isEditable(Field::album));
    EXPECT_EQ(status(*form), u"- | (disabled)"_s);
}

TEST(SharedEditorForm, NumberChecksComeInOrderAndOnlyForAppliedFields)
{
    const auto form = makeForm();
    form->setValue(Field::year, u"12345"_s);
    form->setValue(Field::bpm, u"1000"_s);
    EXPECT_EQ(status(*form), u"- | (disabled)"_s); // both still off

    form->setApplied(Field::year, true);
    form->setApplied(Field::bpm, true);
    EXPECT_EQ(status(*form),
        u"Year must be between 0 and 9999, or left blank to clear it. | (disabled)"_s);
    form->setValue(Field::year, u" +0 "_s);
    EXPECT_EQ(
        status(*form), u"BPM must be between 1 and 999, or left blank to clear it. | (disabled)"_s);
    form->setApplied(Field::discNumber, true);
    form->setValue(Field::discNumber, u"0"_s);
    EXPECT_EQ(status(*form),
        u"Disc number must be between 1 and 999, or left blank to clear it. | (disabled)"_s);
    form->setValue(Field::discNumber, u"  "_s);
    form->setValue(Field::bpm, u"120"_s);
    EXPECT_EQ(status(*form), u"- | Apply to 3 Songs"_s);

    const SharedTrackMetadataPatch patch = *form->applyPatch();
    EXPECT_EQ(patch.year, OptionalMetadataChange<qint64>::set(0));
    EXPECT_EQ(patch.discNumber, OptionalMetadataChange<qint64>::set(std::nullopt));
    EXPECT_EQ(patch.bpm, OptionalMetadataChange<qint64>::set(120));
    EXPECT_EQ(patch.artist, OptionalMetadataChange<QString>::unchanged());
}

TEST(SharedEditorForm, AnAppliedFieldIsAChangeEvenWithItsCurrentText)
{
    const auto form = makeForm();
    form->setApplied(Field::album, true);
    EXPECT_TRUE(form->canApply());
    EXPECT_EQ(form->applyPatch()->album, OptionalMetadataChange<QString>::set(u"Shared"_s));
    form->setApplied(Field::album, false);
    EXPECT_FALSE(form->canApply());
}

TEST(SharedEditorForm, StarsAndMixedRating)
{
    const auto form = makeForm();
    EXPECT_TRUE(form->showsMixedRating());
    form->tapStar(3); // stars are off with the rating
    EXPECT_EQ(form->draft().rating, 0);

    form->setRatingApplied(true);
    EXPECT_FALSE(form->showsMixedRating());
    EXPECT_EQ(form->applyPatch()->rating, 0); // ticking RATING writes what is shown
    form->tapStar(3);
    EXPECT_EQ(form->litStars(), 3);
    form->tapStar(3);
    EXPECT_EQ(form->litStars(), 0);
    form->tapStar(5);
    EXPECT_EQ(form->applyPatch()->rating, 5);
}

TEST(SharedEditorForm, ArtworkChoicesAndLoaderErrors)
{
    const auto form = makeForm();
    QCoro::Task<> loading = form->loadArtwork(picked("cover.png"));
    EXPECT_TRUE(form->isLoadingArtwork());
    EXPECT_FALSE(form->artworkButtonsEnabled());
    EXPECT_EQ(status(*form), u"- | (disabled)"_s);
    QCoro::waitFor(std::move(loading));
    EXPECT_EQ(form->chooseArtworkLabel(), u"Replace Artwork…"_s);
    EXPECT_EQ(form->artworkExplanation(),
        u"This image will replace the artwork on all 3 selected songs."_s);
    EXPECT_EQ(status(*form), u"- | Apply to 3 Songs"_s);

    const std::pair<const char*, QString> failures[] = {
        { "big.png", u"Artwork must be smaller than 25 MB."_s },
        { "wide.png", u"The selected image is too large to process safely."_s },
        { "notes.png", u"The selected file is not a supported image."_s },
    };
    for (const auto& [name, message] : failures) {
        form->beginChoosingArtwork();
        QCoro::waitFor(form->loadArtwork(picked(name)));
        EXPECT_EQ(status(*form), message + u" | (disabled)"_s);
        EXPECT_EQ(*form->draft().replacementArtworkData, QByteArray("cover.png")) << name;
    }
    form->beginChoosingArtwork();
    EXPECT_EQ(status(*form), u"- | Apply to 3 Songs"_s);

    form->artworkPickFailed(u"Picker broke"_s);
    EXPECT_EQ(status(*form), u"Picker broke | (disabled)"_s);
    form->keepExistingArtwork();
    EXPECT_EQ(form->chooseArtworkLabel(), u"Choose Artwork…"_s);
    EXPECT_EQ(status(*form), u"- | (disabled)"_s);
}

TEST(SharedEditorForm, SavingAndPresenterErrorsKeepTheDraft)
{
    const auto form = makeForm();
    form->setApplied(Field::artist, true);
    form->setValue(Field::artist, u"Everyone"_s);
    const SharedMetadataDraft before = form->draft();

    form->setSaving(true);
    EXPECT_EQ(form->applyLabel(), u"Applying…"_s);
    EXPECT_FALSE(form->canApply());
    EXPECT_FALSE(form->isEditable(Field::artist));
    EXPECT_FALSE(form->artworkButtonsEnabled());
    form->setValue(Field::artist, u"typed while saving"_s);

    form->setSaving(false);
    form->setErrorMessage(u"Could not save"_s);
    EXPECT_EQ(form->draft(), before);
    EXPECT_EQ(status(*form), u"Could not save | Apply to 3 Songs"_s); // a retry is allowed

    form->setApplied(Field::year, true);
    form->setValue(Field::year, u"abc"_s);
    EXPECT_EQ(form->message()->left(4), u"Year"_s); // numbers go before the presenter's text
}
