#include "engines/playback/AudioEngine.h"

#include "platform/SecurityScopedResource.h"

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

// Messages name the file by its path, never by its URL text.
QString pathText(const QUrl& url)
{
    return url.isLocalFile() ? url.toLocalFile() : url.path(QUrl::FullyDecoded);
}

} // namespace

AudioPlaybackError::AudioPlaybackError(Case errorCase, QUrl url, QString underlying)
    : m_case(errorCase)
    , m_url(std::move(url))
    , m_underlying(std::move(underlying))
    , m_what(errorDescription().toStdString())
{
}

AudioPlaybackError AudioPlaybackError::missingFile(const QUrl& url)
{
    return { Case::missingFile, url, {} };
}

AudioPlaybackError AudioPlaybackError::unreadableFile(const QUrl& url, const QString& underlying)
{
    return { Case::unreadableFile, url, underlying };
}

AudioPlaybackError AudioPlaybackError::emptyFile(const QUrl& url)
{
    return { Case::emptyFile, url, {} };
}

AudioPlaybackError AudioPlaybackError::invalidFormat(const QUrl& url)
{
    return { Case::invalidFormat, url, {} };
}

AudioPlaybackError AudioPlaybackError::engineStartFailed(const QString& underlying)
{
    return { Case::engineStartFailed, {}, underlying };
}

AudioPlaybackError AudioPlaybackError::audioEngineUnavailable()
{
    return { Case::audioEngineUnavailable, {}, {} };
}

AudioPlaybackError AudioPlaybackError::outputDeviceRoutingUnavailable()
{
    return { Case::outputDeviceRoutingUnavailable, {}, {} };
}

QString AudioPlaybackError::errorDescription() const
{
    const QString path = pathText(m_url);
    switch (m_case) {
    case Case::missingFile:
        return u"The audio file could not be found at "_s + path + u"."_s;
    case Case::unreadableFile:
        return u"The audio file at "_s + path + u" could not be opened: "_s + m_underlying;
    case Case::emptyFile:
        return u"The audio file at "_s + path + u" does not contain any playable frames."_s;
    case Case::invalidFormat:
        return u"The audio file at "_s + path + u" has an unsupported playback format."_s;
    case Case::engineStartFailed:
        return u"The audio engine could not start: "_s + m_underlying;
    case Case::audioEngineUnavailable:
        return u"Playback is unavailable because the audio engine has not been connected."_s;
    case Case::outputDeviceRoutingUnavailable:
        return u"Output device switching is not available in this version. Use the system's "
               u"sound settings instead."_s;
    }
    return {};
}

void AudioEngineDelegate::audioEngineDidChangePlaybackState(AudioEngine&, PlaybackState) { }
void AudioEngineDelegate::audioEngineDidChangeTrack(AudioEngine&, const std::optional<Track>&) { }
void AudioEngineDelegate::audioEngineDidUpdateCurrentTime(AudioEngine&, double) { }
void AudioEngineDelegate::audioEngineDidFinishPlayback(AudioEngine&) { }
void AudioEngineDelegate::audioEngineDidFail(AudioEngine&, const std::exception_ptr&) { }

} // namespace kivo
