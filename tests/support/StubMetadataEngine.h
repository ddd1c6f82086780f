#pragma once

#include "engines/library/MetadataEngine.h"

namespace kivo::test {

// Tags that read as empty, writes that do nothing and no embedded artwork:
// fakes override only what their test watches.
class StubMetadataEngine : public MetadataEngine {
public:
    QCoro::Task<ExtractedMetadata> readMetadata(QUrl) override { co_return ExtractedMetadata(0); }
    QCoro::Task<> writeMetadata(Track, std::optional<QByteArray>) override { co_return; }
    QCoro::Task<std::optional<QByteArray>> extractArtwork(QUrl) override { co_return std::nullopt; }
};

} // namespace kivo::test
