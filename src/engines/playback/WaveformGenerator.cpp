#include "engines/playback/WaveformGenerator.h"

#include <QHashFunctions>
#include <cmath>
#include <limits>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

using ::qHash;

WaveformError::WaveformError(Case errorCase, QUrl url, QString reason)
    : m_case(errorCase)
    , m_url(std::move(url))
    , m_reason(std::move(reason))
    , m_what(errorDescription().toStdString())
{
}

QString WaveformError::errorDescription() const
{
    switch (m_case) {
    case Case::invalidSourceData:
        return u"The audio file data is corrupted or cannot be processed."_s;
    case Case::invalidPointCount:
        return u"The requested waveform resolution is invalid."_s;
    case Case::generationFailed:
        return u"Failed to generate waveform from audio data."_s;
    case Case::processingTimedOut:
        return u"Waveform generation timed out in the background queue."_s;
    case Case::missingFile:
        return u"The audio file could not be found at "_s + m_url.path() + u"."_s;
    case Case::cacheFolderUnavailable:
        return u"The waveform cache folder "_s + m_url.toLocalFile() + u" could not be created: "_s
            + m_reason;
    }
    return {};
}

Json Waveform::toJson() const
{
    Json peakList = Json::array();
    peakList.get_ref<Json::array_t&>().reserve(size_t(peaks.size()));
    for (const float peak : peaks) {
        if (!std::isfinite(peak)) {
            throw JsonCodingError(JsonCodingError::Kind::Encoding, u"peaks"_s,
                u"The waveform holds a peak that is not a finite number."_s);
        }
        // Whole values (the silent 0 and the loudest 1) as integers: shorter files.
        if (peak == 0.0f || peak == 1.0f) {
            peakList.push_back(int(peak));
        } else {
            peakList.push_back(json::floatToJsonDouble(peak));
        }
    }
    Json object = Json::object();
    object["peaks"] = std::move(peakList);
    json::putUuid(object, "trackID", trackID);
    return object;
}

Waveform Waveform::fromJson(const Json& object, const QString& path)
{
    const json::ObjectReader reader(object, path);
    const Json& peakList = reader.requiredMember("peaks");
    if (!peakList.is_array()) {
        reader.fail("peaks", u"Expected an array of numbers."_s);
    }
    Waveform waveform;
    waveform.peaks.reserve(qsizetype(peakList.size()));
    for (const Json& value : peakList) {
        if (!value.is_number()) {
            reader.fail("peaks", u"Expected an array of numbers."_s);
        }
        // Beyond the float range reads as infinity rather than an undefined cast.
        const double number = value.get<double>();
        waveform.peaks.push_back(std::fabs(number) <= double(std::numeric_limits<float>::max())
                ? float(number)
                : std::copysign(
                    std::numeric_limits<float>::infinity(), float(number > 0 ? 1 : -1)));
    }
    waveform.trackID = reader.requiredUuid("trackID");
    return waveform;
}

size_t qHash(const Waveform& waveform, size_t seed)
{
    return qHashMulti(seed, waveform.peaks, waveform.trackID);
}

} // namespace kivo
