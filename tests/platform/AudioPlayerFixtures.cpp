#include "AudioPlayerFixtures.h"

#include <QFileInfo>
#include <random>

using namespace Qt::Literals::StringLiterals;

namespace kivo::test {

QByteArray makeUndecodableWav(int payloadBytes)
{
    QByteArray format;
    appendLE16(format, 0x55); // MPEG layer 3
    appendLE16(format, 2);
    appendLE32(format, 44100);
    appendLE32(format, 16000);
    appendLE16(format, 1);
    appendLE16(format, 0);
    appendLE16(format, 12); // extension size
    appendLE16(format, 1);
    appendLE32(format, 2);
    appendLE16(format, 417);
    appendLE16(format, 1);
    appendLE16(format, 1393);

    std::mt19937 random(7);
    QByteArray payload(payloadBytes, Qt::Uninitialized);
    for (char& byte : payload) {
        byte = char(random() & 0xFF);
    }

    return riffWave(format, payload);
}

QStringList encoderArguments(const QString& extension)
{
    if (extension == u"m4a"_s || extension == u"aac"_s) {
        return { u"-c:a"_s, u"aac"_s };
    }
    if (extension == u"ogg"_s) {
        return { u"-c:a"_s, u"libvorbis"_s };
    }
    if (extension == u"wma"_s) {
        return { u"-c:a"_s, u"wmav2"_s };
    }
    return {};
}

QString AudioFileTest::makeAudioFile(const QString& relative, const WavSpec& tone) const
{
    const QString extension = QFileInfo(relative).suffix().toLower();
    if (extension == u"wav"_s) {
        return writeFile(relative, makeWav(tone));
    }
    const QString source = writeFile(relative + u".source.wav"_s, makeWav(tone));
    const QString target = path(relative);
    return transcode(source, target, encoderArguments(extension)) ? target : QString();
}

} // namespace kivo::test
