#include "platform/AudioPlayer.h"

#include "platform/FfmpegAudioPlayer.h"

#include <QMediaDevices>

namespace kivo {

AudioPlayerError::AudioPlayerError(QString description)
    : m_description(std::move(description))
    , m_what(m_description.toStdString())
{
}

namespace {

class FfmpegAudioPlayerFactory final : public AudioPlayerFactory {
public:
    FfmpegAudioPlayerFactory()
    {
        // Touch the device list here, on the main thread, so that the sound
        // server connection belongs to it rather than to a player's thread.
        QMediaDevices::audioOutputs();
    }

    std::unique_ptr<AudioPlayer> open(const QUrl& url) override
    {
        // A null device when the machine has none: the player then plays silently.
        return FfmpegAudioPlayer::open(url, QMediaDevices::defaultAudioOutput());
    }
};

} // namespace

std::shared_ptr<AudioPlayerFactory> AudioPlayerFactory::createDefault()
{
    return std::make_shared<FfmpegAudioPlayerFactory>();
}

} // namespace kivo
