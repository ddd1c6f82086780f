#include "ui/editing/InspectorModel.h"
#include "EditingFakes.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace kivo;
using namespace kivo::test;
using namespace Qt::Literals::StringLiterals;

TEST(InspectorModel, EditsWriteTheSongAtOnceAndOnlyOnChange)
{
    Track song = sampleTrack();
    song.rating = 3;
    InspectorModel model(song);
    QSignalSpy edits(&model, &InspectorModel::trackEdited);
    model.setArtistInput(QString());
    EXPECT_EQ(edits.count(), 0);

    model.setArtistInput(u"Name"_s);
    EXPECT_EQ(model.track().artist, u"Name"_s);
    model.setArtistInput(QString());
    EXPECT_EQ(model.track().artist, std::nullopt);
    model.setAlbumInput(u" "_s);
    EXPECT_EQ(model.track().album, u" "_s);

    const std::pair<QString, std::optional<qint64>> bpms[] = {
        { u"+120"_s, 120 },
        { u"-5"_s, -5 },
        { u"12a"_s, std::nullopt },
        { u"1 2"_s, std::nullopt },
        { u"12.5"_s, std::nullopt },
        { u" 12"_s, std::nullopt },
        { u"99999999999999999999"_s, std::nullopt },
    };
    for (const auto& [text, value] : bpms) {
        model.setBpmInput(text);
        EXPECT_EQ(model.track().bpm, value) << text.toStdString();
        EXPECT_EQ(model.bpmInput(), text);
    }

    model.tapStar(3);
    EXPECT_EQ(model.track().rating, 0);
    model.tapStar(3);
    model.tapStar(5);
    EXPECT_EQ(model.track().rating, 5);
    EXPECT_EQ(qvariant_cast<Track>(edits.last().at(0)), model.track());
}

TEST(InspectorModel, TechnicalTexts)
{
    Track song = sampleTrack();
    song.duration = 0;
    InspectorModel bare(song);
    EXPECT_EQ(QStringList({ bare.formatText(), bare.bitrateText(), bare.sampleRateText(),
                              bare.durationText() })
                  .join(u'|'),
        u"FLAC|—|—|0:00"_s);

    song.fileURL = QUrl::fromLocalFile(u"/music/noextension"_s);
    song.bitrate = 320;
    song.sampleRate = 48000;
    song.duration = 216;
    song.dateAdded.reset();
    InspectorModel full(song);
    EXPECT_EQ(QStringList({ full.formatText(), full.bitrateText(), full.sampleRateText(),
                              full.durationText(), full.dateAddedText() })
                  .join(u'|'),
        u"|320 kbps|48.0 kHz|3:36|—"_s);
}
