#include "MetadataEngineFixtures.h"

#include <QBuffer>
#include <QFile>
#include <QImage>

#include <taglib/aifffile.h>
#include <taglib/asffile.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>
#include <taglib/tpropertymap.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavfile.h>

namespace kivo::test {

namespace {

TagLib::String toTagLib(const QString& text)
{
    return TagLib::String(text.toStdString(), TagLib::String::UTF8);
}

TagLib::ByteVector toByteVector(const QByteArray& bytes)
{
    return TagLib::ByteVector(bytes.constData(), unsigned(bytes.size()));
}

TagLib::PropertyMap propertiesOf(const FixtureTags& tags)
{
    TagLib::PropertyMap map;
    const auto put = [&map](const char* key, const QString& value) {
        if (!value.isEmpty()) {
            map.replace(key, TagLib::StringList(toTagLib(value)));
        }
    };
    put("TITLE", tags.title);
    put("ARTIST", tags.artist);
    put("ALBUM", tags.album);
    put("GENRE", tags.genre);
    put("COMPOSER", tags.composer);
    put("ALBUMARTIST", tags.albumArtist);
    put("DATE", tags.date);
    put("TRACKNUMBER", tags.trackNumber);
    put("COMMENT", tags.comment);
    return map;
}

TagLib::ID3v2::AttachedPictureFrame* pictureFrame(const QByteArray& cover)
{
    auto* frame = new TagLib::ID3v2::AttachedPictureFrame;
    frame->setMimeType(cover.startsWith("\x89PNG") ? "image/png" : "image/jpeg");
    frame->setType(TagLib::ID3v2::AttachedPictureFrame::FrontCover);
    frame->setPicture(toByteVector(cover));
    return frame;
}

TagLib::FLAC::Picture* flacPicture(const QByteArray& cover)
{
    auto* picture = new TagLib::FLAC::Picture;
    picture->setMimeType(cover.startsWith("\x89PNG") ? "image/png" : "image/jpeg");
    picture->setType(TagLib::FLAC::Picture::FrontCover);
    picture->setData(toByteVector(cover));
    return picture;
}

bool addCover(TagLib::File* file, const QByteArray& cover)
{
    using namespace TagLib;
    if (auto* mpeg = dynamic_cast<MPEG::File*>(file)) {
        mpeg->ID3v2Tag(true)->addFrame(pictureFrame(cover));
    } else if (auto* wav = dynamic_cast<RIFF::WAV::File*>(file)) {
        wav->ID3v2Tag()->addFrame(pictureFrame(cover));
    } else if (auto* aiff = dynamic_cast<RIFF::AIFF::File*>(file)) {
        aiff->tag()->addFrame(pictureFrame(cover));
    } else if (auto* mp4 = dynamic_cast<MP4::File*>(file)) {
        MP4::CoverArtList list;
        list.append(
            MP4::CoverArt(cover.startsWith("\x89PNG") ? MP4::CoverArt::PNG : MP4::CoverArt::JPEG,
                toByteVector(cover)));
        mp4->tag()->setItem("covr", list);
    } else if (auto* flac = dynamic_cast<FLAC::File*>(file)) {
        flac->addPicture(flacPicture(cover));
    } else if (auto* vorbis = dynamic_cast<Ogg::Vorbis::File*>(file)) {
        vorbis->tag()->addPicture(flacPicture(cover));
    } else if (auto* asf = dynamic_cast<ASF::File*>(file)) {
        ASF::Picture picture;
        picture.setMimeType(cover.startsWith("\x89PNG") ? "image/png" : "image/jpeg");
        picture.setType(ASF::Picture::FrontCover);
        picture.setPicture(toByteVector(cover));
        asf->tag()->setAttribute("WM/Picture", ASF::Attribute(picture));
    } else {
        return false;
    }
    return true;
}

} // namespace

QByteArray makeCoverImage(const char* format)
{
    QImage image(12, 8, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            image.setPixel(x, y, qRgb(x * 20, y * 30, 90));
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

bool tagWithTagLib(
    const QString& path, const FixtureTags& tags, const std::optional<QByteArray>& cover)
{
    TagLib::FileRef ref(QFile::encodeName(path).constData());
    if (ref.isNull()) {
        return false;
    }
    ref.file()->setProperties(propertiesOf(tags));
    if (cover && !addCover(ref.file(), *cover)) {
        return false;
    }
    return ref.save();
}

QByteArray renderID3v2(const FixtureTags& tags, const std::optional<QByteArray>& cover)
{
    TagLib::ID3v2::Tag tag;
    tag.setProperties(propertiesOf(tags));
    if (cover) {
        tag.addFrame(pictureFrame(*cover));
    }
    const TagLib::ByteVector bytes = tag.render();
    return QByteArray(bytes.data(), qsizetype(bytes.size()));
}

} // namespace kivo::test
