#include "engines/playback/AudioDecoder.h"

using namespace Qt::Literals::StringLiterals;

namespace kivo {

AudioDecoderError::AudioDecoderError(Case errorCase, QUrl url, QString text)
    : m_case(errorCase)
    , m_url(std::move(url))
    , m_text(std::move(text))
    , m_what(errorDescription().toStdString())
{
}

AudioDecoderError AudioDecoderError::fileUnreadable(const QUrl& url, const QString& reason)
{
    return { Case::fileUnreadable, url, reason };
}

AudioDecoderError AudioDecoderError::unsupportedCodec(const QString& codec)
{
    return { Case::unsupportedCodec, {}, codec };
}

AudioDecoderError AudioDecoderError::decodingFailed(const QString& reason)
{
    return { Case::decodingFailed, {}, reason };
}

AudioDecoderError AudioDecoderError::corruptedStream()
{
    return { Case::corruptedStream, {}, {} };
}

QString AudioDecoderError::errorDescription() const
{
    switch (m_case) {
    case Case::fileUnreadable: {
        const QString path = m_url.isLocalFile() ? m_url.toLocalFile() : m_url.toString();
        QString text = u"The audio file at "_s + path + u" could not be read."_s;
        if (!m_text.isEmpty()) {
            text += u" "_s + m_text;
        }
        return text;
    }
    case Case::unsupportedCodec:
        return u"The audio codec "_s + m_text + u" is not supported."_s;
    case Case::decodingFailed:
        return u"The audio could not be decoded: "_s + m_text;
    case Case::corruptedStream:
        return u"The audio stream is corrupted."_s;
    }
    return {};
}

} // namespace kivo
