#pragma once

#include "platform/MediaProbe.h"

namespace kivo {

// The media layer on Linux: FFmpeg decides whether a file is audio and gives
// its duration and streams; TagLib reads the tags and embedded artwork of the
// files it understands, FFmpeg those of the rest. Only local files are opened.
class LocalMediaProbe final : public MediaProbe {
public:
    LocalMediaProbe();
    std::unique_ptr<MediaAsset> openAsset(const QString& path) const override;
};

} // namespace kivo
