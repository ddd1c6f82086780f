#include "engines/playback/QueueEngine.h"

#include <array>

namespace kivo {

namespace {
constexpr std::array<const char16_t*, 3> repeatTexts { u"off", u"track", u"all" };
constexpr std::array<const char16_t*, 3> shuffleTexts { u"off", u"standard", u"smart" };

template <typename Mode>
std::optional<Mode> fromText(const std::array<const char16_t*, 3>& texts, const QString& text)
{
    for (size_t i = 0; i < texts.size(); ++i) {
        if (text == QStringView(texts[i])) {
            return Mode(i);
        }
    }
    return std::nullopt;
}
} // namespace

QString repeatModeText(RepeatMode mode)
{
    return QString::fromUtf16(repeatTexts[size_t(mode)]);
}

std::optional<RepeatMode> repeatModeFromText(const QString& text)
{
    return fromText<RepeatMode>(repeatTexts, text);
}

QString shuffleModeText(ShuffleMode mode)
{
    return QString::fromUtf16(shuffleTexts[size_t(mode)]);
}

std::optional<ShuffleMode> shuffleModeFromText(const QString& text)
{
    return fromText<ShuffleMode>(shuffleTexts, text);
}

} // namespace kivo
