#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <QtGlobal>
#include <exception>
#include <qcoro/qcorotask.h>
#include <string>

namespace kivo {

// Why a picked artwork file was refused; the description is shown unchanged.
class ArtworkFileError : public std::exception {
public:
    enum class Case { fileTooLarge, unreadable, invalidImage, excessiveDimensions };

    static ArtworkFileError fileTooLarge(qint64 maximumMegabytes)
    {
        return { Case::fileTooLarge, maximumMegabytes, {} };
    }
    // `description`: the readable description of the underlying failure.
    static ArtworkFileError unreadable(const QString& description)
    {
        return { Case::unreadable, 0, description };
    }
    static ArtworkFileError invalidImage() { return { Case::invalidImage, 0, {} }; }
    static ArtworkFileError excessiveDimensions() { return { Case::excessiveDimensions, 0, {} }; }

    Case errorCase() const { return m_case; }
    qint64 maximumMegabytes() const { return m_maximumMegabytes; }
    const QString& underlyingDescription() const { return m_underlying; }
    QString errorDescription() const;
    const char* what() const noexcept override { return m_what.c_str(); }

    bool operator==(const ArtworkFileError& other) const
    {
        return m_case == other.m_case && m_maximumMegabytes == other.m_maximumMegabytes
            && m_underlying == other.m_underlying;
    }

private:
    ArtworkFileError(Case errorCase, qint64 maximumMegabytes, QString underlying);
    Case m_case;
    qint64 m_maximumMegabytes;
    QString m_underlying;
    std::string m_what;
};

// Limits of a picked artwork file, all inclusive.
inline constexpr qint64 maximumArtworkFileMegabytes = 25;
inline constexpr qint64 maximumArtworkFileBytes = maximumArtworkFileMegabytes * 1024 * 1024;
inline constexpr qint64 maximumArtworkSide = 16384;
inline constexpr qint64 maximumArtworkPixelArea = 100000000;

// The bytes of an image file the user picked as artwork, unchanged, once it is
// known to be a regular file within the size limit holding an image of sane
// pixel dimensions (read from its header; the image is never decoded). Runs on
// a worker; throws ArtworkFileError.
QCoro::Task<QByteArray> loadArtworkFileData(QUrl url);

// The same, blocking: for callers already on a worker thread.
QByteArray loadArtworkFileDataNow(const QUrl& url);

} // namespace kivo
