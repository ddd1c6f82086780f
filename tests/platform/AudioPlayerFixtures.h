#pragma once

#include "support/TempDir.h"
#include "support/WavWriter.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace kivo::test {

// A WAV file whose payload is undecodable MPEG audio: every packet fails, so
// decoding ends with an error however it is read.
QByteArray makeUndecodableWav(int payloadBytes);

// A temporary folder that makes audio files.
class AudioFileTest : public TempDirTest {
protected:
    // Writes a sine WAV at `relative` and, for another extension, transcodes it
    // with ffmpeg; returns the path, or an empty text when ffmpeg failed.
    QString makeAudioFile(const QString& relative, const WavSpec& tone = {}) const;
};

// Extra ffmpeg arguments that make each of the eight supported extensions.
QStringList encoderArguments(const QString& extension);

} // namespace kivo::test
