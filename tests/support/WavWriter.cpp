#include "support/WavWriter.h"

#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QtEndian>
#include <cmath>
#include <numbers>

namespace kivo::test {

void appendLE32(QByteArray& out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

void appendLE16(QByteArray& out, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

QByteArray riffWave(const QByteArray& format, const QByteArray& data)
{
    QByteArray out;
    out.reserve(int(4 + 8 + 8 + format.size() + 8 + data.size()));
    out.append("RIFF", 4);
    appendLE32(out, quint32(4 + 8 + format.size() + 8 + data.size()));
    out.append("WAVE", 4);
    out.append("fmt ", 4);
    appendLE32(out, quint32(format.size()));
    out.append(format);
    out.append("data", 4);
    appendLE32(out, quint32(data.size()));
    out.append(data);
    return out;
}

QByteArray makeWavFromSamples(const std::vector<qint16>& interleaved, int sampleRate, int channels)
{
    QByteArray format;
    appendLE16(format, 1); // PCM
    appendLE16(format, quint16(channels));
    appendLE32(format, quint32(sampleRate));
    appendLE32(format, quint32(sampleRate * channels * 2));
    appendLE16(format, quint16(channels * 2));
    appendLE16(format, 16);
    QByteArray data;
    data.reserve(int(interleaved.size() * sizeof(qint16)));
    for (qint16 sample : interleaved) {
        appendLE16(data, quint16(sample));
    }
    return riffWave(format, data);
}

QByteArray makeWav(const WavSpec& tone)
{
    const auto frames = static_cast<qint64>(std::llround(tone.seconds * tone.sampleRate));
    std::vector<qint16> samples;
    samples.reserve(size_t(frames * tone.channels));
    for (qint64 i = 0; i < frames; ++i) {
        const double t = double(i) / tone.sampleRate;
        const double value = tone.frequency > 0
            ? tone.amplitude * std::sin(2 * std::numbers::pi * tone.frequency * t)
            : 0.0;
        const auto sample = static_cast<qint16>(std::lround(value * 32767));
        for (int c = 0; c < tone.channels; ++c) {
            samples.push_back(sample);
        }
    }
    return makeWavFromSamples(samples, tone.sampleRate, tone.channels);
}

bool writeWav(const QString& path, const WavSpec& tone)
{
    QFile file(path);
    const QByteArray bytes = makeWav(tone);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool transcode(const QString& wavPath, const QString& outPath, const QStringList& extraArgs)
{
    QProcess process;
    QStringList args { QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"),
        QStringLiteral("error"), QStringLiteral("-y"), QStringLiteral("-i"), wavPath };
    args << extraArgs << outPath;
    process.start(QStringLiteral("ffmpeg"), args);
    if (!process.waitForFinished(60000)) {
        return false;
    }
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

} // namespace kivo::test
