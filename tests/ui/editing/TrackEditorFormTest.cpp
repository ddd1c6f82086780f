#include "ui/editing/TrackEditorForm.h"
#include "EditingFakes.h"

#include <gtest/gtest.h>

using namespace kivo;
using namespace kivo::test;
using namespace Qt::Literals::StringLiterals;

namespace {

// The saved duration, or "disabled" when Save is off.
QString savedDuration(const QString& text)
{
    TrackEditorForm form(sampleTrack());
    form.duration = text;
    const auto edited = form.editedTrack();
    EXPECT_EQ(form.canSave(), edited.has_value());
    return edited ? QString::number(edited->duration) : u"disabled"_s;
}

// The saved year, "absent", or "disabled".
QString savedYear(const QString& text)
{
    TrackEditorForm form(sampleTrack());
    form.year = text;
    const auto edited = form.editedTrack();
    if (!edited) {
        return u"disabled"_s;
    }
    return edited->year ? QString::number(*edited->year) : u"absent"_s;
}

} // namespace

TEST(TrackEditorForm, DurationTexts)
{
    const std::pair<QString, QString> cases[] = {
        { u"3:36"_s, u"216"_s },
        { u"1:02:03"_s, u"3723"_s },
        { u""_s, u"0"_s },
        { u"215.5"_s, u"215.5"_s },
        { u"abc"_s, u"disabled"_s },
        { u"inf"_s, u"disabled"_s },
        { u"-1:30"_s, u"disabled"_s },
        { u"1:2:3:4"_s, u"disabled"_s },
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(savedDuration(text), expected) << text.toStdString();
    }
}

TEST(TrackEditorForm, WholeNumberFieldsAreReadAsTyped)
{
    const std::pair<QString, QString> cases[] = {
        { u"1999"_s, u"1999"_s },
        { u"+7"_s, u"7"_s },
        { u"007"_s, u"7"_s },
        { u"-5"_s, u"-5"_s },
        { u""_s, u"absent"_s },
        { u"   "_s, u"absent"_s },
        { u" 1999"_s, u"disabled"_s },
        { u"120.5"_s, u"disabled"_s },
        { u"12a"_s, u"disabled"_s },
        { u"99999999999999999999"_s, u"disabled"_s },
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(savedYear(text), expected) << text.toStdString();
    }
    TrackEditorForm form(sampleTrack());
    form.bpm = u"120.5"_s;
    EXPECT_FALSE(form.canSave());
    form.bpm = u"120"_s;
    form.trackNumber = u"x"_s;
    EXPECT_FALSE(form.canSave());
}

TEST(TrackEditorForm, TextsAreTrimmedAndBlankTagsBecomeAbsent)
{
    Track track = sampleTrack();
    track.artist = u"Someone"_s;
    TrackEditorForm form(track);
    form.title = u"   "_s;
    EXPECT_FALSE(form.canSave());
    form.title = u"  New Title \n"_s;
    form.artist = u"   "_s;
    form.album = u" Album "_s;
    form.lyrics = u"\n\n  la la\nla  \n\n"_s;
    const Track edited = *form.editedTrack();
    EXPECT_EQ(edited.title, u"New Title"_s);
    EXPECT_EQ(edited.artist, std::nullopt);
    EXPECT_EQ(edited.album, u"Album"_s);
    EXPECT_EQ(edited.lyrics(), u"la la\nla"_s);
    form.lyrics = u"\n\n"_s;
    EXPECT_EQ(form.editedTrack()->lyrics(), std::nullopt);
}

TEST(TrackEditorForm, FieldsTheSheetDoesNotShowComeBackUnchanged)
{
    Track track = sampleTrack();
    track.duration = 215.6;
    track.discNumber = 2;
    track.setComposer(u"Composer"_s);
    track.setComments(u"Note"_s);
    track.bitrate = 320;
    track.sampleRate = 44100;
    track.securityScopedBookmark = QByteArray("mark");
    track.year = 1999;
    TrackEditorForm form(track);
    EXPECT_EQ(form.year, u"1999"_s);
    EXPECT_EQ(form.duration, u"3:36"_s);

    Track expected = track;
    expected.duration = 216; // the field starts from whole seconds
    EXPECT_EQ(*form.editedTrack(), expected);
}

TEST(TrackEditorForm, RatingStarsAndClamps)
{
    Track track = sampleTrack();
    track.rating = 7;
    TrackEditorForm high(track);
    EXPECT_EQ(high.rating, 7);
    EXPECT_EQ(high.litStars(), 5);
    EXPECT_EQ(high.editedTrack()->rating, 5);

    track.rating = -2;
    TrackEditorForm low(track);
    EXPECT_EQ(low.litStars(), 0);
    EXPECT_EQ(low.editedTrack()->rating, 0);

    low.tapStar(3);
    EXPECT_EQ(low.rating, 3);
    low.tapStar(3);
    EXPECT_EQ(low.rating, 0);
    low.tapStar(5);
    EXPECT_EQ(low.rating, 5);
}
