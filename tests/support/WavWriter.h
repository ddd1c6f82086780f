#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace kivo::test {

// Generated audio fixtures: 16-bit PCM WAV files.
struct WavSpec {
    int sampleRate = 44100;
    int channels = 2;
    double seconds = 1.0;
    double frequency = 440.0; // sine tone; 0 gives silence
    double amplitude = 0.5; // 0...1 of full scale
};

// Little-endian integers, as WAV chunks store them.
void appendLE16(QByteArray& out, quint16 value);
void appendLE32(QByteArray& out, quint32 value);

// The bytes of a RIFF WAVE file with this "fmt " chunk body and "data" chunk body.
QByteArray riffWave(const QByteArray& format, const QByteArray& data);

// The bytes of a WAV file holding a sine tone as described.
QByteArray makeWav(const WavSpec& tone);

// The bytes of a WAV file holding exactly these interleaved samples.
QByteArray makeWavFromSamples(const std::vector<qint16>& interleaved, int sampleRate, int channels);

// Writes a WAV file; returns false when it cannot be written.
bool writeWav(const QString& path, const WavSpec& tone);

// Transcodes `wavPath` to `outPath` with the ffmpeg command (format from the
// extension); returns false when ffmpeg is missing or fails.
bool transcode(const QString& wavPath, const QString& outPath, const QStringList& extraArgs = {});

} // namespace kivo::test
