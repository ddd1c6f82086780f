#include "engines/playback/WaveformCache.h"

#include "model/Logging.h"
#include "model/StoreFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

// A file of 4096 peaks takes about 50 kB; anything far larger is not ours.
constexpr qint64 maximumFileSize = 1 << 20;

// Removes one folder entry; a link is removed itself, never what it points to.
// Returns the reason of a failure.
std::optional<QString> removeEntry(const QFileInfo& entry)
{
    if (entry.isDir() && !entry.isSymLink()) {
        if (QDir(entry.absoluteFilePath()).removeRecursively()) {
            return std::nullopt;
        }
        return u"The folder "_s + entry.absoluteFilePath() + u" could not be removed."_s;
    }
    QFile file(entry.absoluteFilePath());
    if (file.remove()) {
        return std::nullopt;
    }
    return u"The file "_s + entry.absoluteFilePath() + u" could not be removed: "_s
        + file.errorString();
}

QFileInfoList folderEntries(const QString& folder)
{
    return QDir(folder).entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
}

} // namespace

WaveformCache::WaveformCache(QString folder)
    : m_folder(std::move(folder))
{
}

QString WaveformCache::fileName(const QUuid& trackID, qint64 numberOfPoints)
{
    return u"waveform_"_s + json::uuidText(trackID) + u'_' + QString::number(numberOfPoints)
        + u".json"_s;
}

bool WaveformCache::isCacheFileName(const QString& name)
{
    static const QRegularExpression names(
        u"^waveform_[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}_\\d+\\.json$"_s);
    return names.match(name).hasMatch();
}

QString WaveformCache::filePath(const QUuid& trackID, qint64 numberOfPoints) const
{
    return m_folder + u'/' + fileName(trackID, numberOfPoints);
}

std::optional<Waveform> WaveformCache::load(const QUuid& trackID, qint64 numberOfPoints) const
{
    std::optional<QByteArray> bytes;
    try {
        bytes = storefile::read(filePath(trackID, numberOfPoints), maximumFileSize);
    } catch (const StoreFileError&) {
        return std::nullopt;
    }
    if (!bytes) {
        return std::nullopt;
    }
    try {
        Waveform waveform = Waveform::fromJson(json::parse(*bytes));
        if (waveform.trackID != trackID || waveform.peaks.size() != numberOfPoints) {
            return std::nullopt;
        }
        for (const float peak : waveform.peaks) {
            // Also refuses NaN, which fails both comparisons.
            if (!(peak >= 0.0f && peak <= 1.0f)) {
                return std::nullopt;
            }
        }
        return waveform;
    } catch (const JsonCodingError&) {
        return std::nullopt;
    }
}

void WaveformCache::store(const Waveform& waveform) const
{
    const QByteArray bytes = QByteArray::fromStdString(json::dump(waveform.toJson()));
    try {
        storefile::writeAtomically(filePath(waveform.trackID, waveform.peaks.size()), bytes);
    } catch (const StoreFileError& error) {
        throw WaveformCacheWriteError(
            u"The file "_s + error.path() + u" could not be written: "_s + error.reason());
    }
}

void WaveformCache::removeTrack(const QUuid& trackID) const
{
    const QString idText = json::uuidText(trackID);
    for (const QFileInfo& entry : folderEntries(m_folder)) {
        if (!entry.fileName().contains(idText)) {
            continue;
        }
        if (const auto failure = removeEntry(entry)) {
            qCCritical(
                logging::waveform, "Unable to remove waveform cache: %s", qUtf8Printable(*failure));
        }
    }
}

void WaveformCache::clear() const
{
    for (const QFileInfo& entry : folderEntries(m_folder)) {
        if (const auto failure = removeEntry(entry)) {
            qCCritical(
                logging::waveform, "Unable to clear waveform cache: %s", qUtf8Printable(*failure));
        }
    }
}

} // namespace kivo
