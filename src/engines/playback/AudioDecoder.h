#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <QtGlobal>
#include <exception>
#include <optional>
#include <qcoro/qcorotask.h>
#include <string>

namespace kivo {

struct AudioFormat {
    double sampleRate = 0; // Hz
    qint64 channelCount = 0;
    qint64 bitDepth = 0; // bits per sample
    bool isInterleaved = false;

    bool operator==(const AudioFormat&) const = default;
};

// Decoded samples: 32-bit floats in `format`'s layout (non-interleaved: all of
// the first channel's frames, then the second's, ...), `frameCount` frames.
struct AudioBuffer {
    QByteArray pcmData;
    AudioFormat format;
    qint64 frameCount = 0;
};

class AudioDecoderError : public std::exception {
public:
    enum class Case { fileUnreadable, unsupportedCodec, decodingFailed, corruptedStream };

    // `reason` says why, when known.
    static AudioDecoderError fileUnreadable(const QUrl& url, const QString& reason = {});
    static AudioDecoderError unsupportedCodec(const QString& codec);
    static AudioDecoderError decodingFailed(const QString& reason);
    static AudioDecoderError corruptedStream();

    Case errorCase() const { return m_case; }
    const QUrl& url() const { return m_url; } // fileUnreadable
    // The codec (unsupportedCodec) or the reason (fileUnreadable, decodingFailed).
    const QString& text() const { return m_text; }
    QString errorDescription() const;
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    AudioDecoderError(Case errorCase, QUrl url, QString text);
    Case m_case;
    QUrl m_url;
    QString m_text;
    std::string m_what;
};

// A stream decoder over one audio file: opens it, reports its format and
// steps through its decoded samples one buffer at a time. Main thread only.
class AudioDecoder {
public:
    virtual ~AudioDecoder() = default;

    // Closes any open stream and opens the first audio stream of `url`.
    // Throws AudioDecoderError (fileUnreadable).
    virtual QCoro::Task<AudioFormat> openStream(QUrl url) = 0;
    // The next at most `maxFrames` frames (a default chunk when not above 0);
    // nothing before a stream is open and at its end. Throws AudioDecoderError
    // (decodingFailed), and again on every further call.
    virtual std::optional<AudioBuffer> decodeNextBuffer(qint64 maxFrames) = 0;
    // Continues the open stream at `seconds`; nothing without a stream.
    // Throws AudioDecoderError (fileUnreadable).
    virtual QCoro::Task<void> seek(double seconds) = 0;
    virtual void closeStream() = 0;
    // Decodes the first `duration` seconds of a file on its own (the open
    // stream is not touched). Throws AudioDecoderError.
    virtual QCoro::Task<AudioBuffer> preDecode(QUrl fileURL, double duration) = 0;
};

} // namespace kivo
