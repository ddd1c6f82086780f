#include "AudioPlayerFixtures.h"

#include <QFileInfo>
#include <QtEndian>
#include <random>

using namespace Qt::Literals::StringLiterals;

namespace kivo::test {

namespace {

void append16(QByteArray& out, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

void append32(QByteArray& out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

} // namespace

QByteArray makeUndecodableWav(int payloadBytes)
{
    QByteArray format;
    append16(format, 0x55); // MPEG layer 3
    append16(format, 2);
    append32(format, 44100);
    append32(format, 16000);
    append16(format, 1);
    append16(format, 0);
    append16(format, 12); // extension size
    append16(format, 1);
    append32(format, 2);
    append16(format, 417);
    append16(format, 1);
    append16(format, 1393);

    std::mt19937 random(7);
    QByteArray payload(payloadBytes, Qt::Uninitialized);
    for (char& byte : payload) {
        byte = char(random() & 0xFF);
    }

    QByteArray out("RIFF");
    append32(out, quint32(4 + 8 + format.size() + 8 + payload.size()));
    out.append("WAVEfmt ");
    append32(out, quint32(format.size()));
    out.append(format);
    out.append("data");
    append32(out, quint32(payload.size()));
    out.append(payload);
    return out;
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
