#pragma once

#include <QString>
#include <QUrl>

namespace kivo {

// Where a track's file is: nearly always a local file, kept as its absolute
// path alone (a QUrl would hold a private block of its own beside it, for
// every one of 200,000 songs). Any other URL is kept as text that parses back
// to it. It offers the part of QUrl's interface the program uses and converts
// to and from QUrl; converting gives exactly the QUrl it was made from, and
// equality and hashing agree with QUrl's.
class TrackFileURL {
public:
    TrackFileURL() = default;
    TrackFileURL(const QUrl& url);

    // As TrackFileURL(QUrl::fromLocalFile(path)), without building the QUrl
    // for an absolute path.
    static TrackFileURL fromLocalFile(const QString& path);
    // As TrackFileURL(QUrl(text, QUrl::StrictMode)); a URL kept as text keeps
    // this one, so that converting gives exactly what parsing it gives.
    static TrackFileURL fromText(const QString& text);

    QUrl toUrl() const;
    operator QUrl() const { return toUrl(); }

    bool isEmpty() const { return m_text.isEmpty(); }
    bool isValid() const { return isPath() || toUrl().isValid(); }
    bool isLocalFile() const { return isPath() || toUrl().isLocalFile(); }
    QString toLocalFile() const { return isPath() ? m_text : toUrl().toLocalFile(); }
    QString path(QUrl::ComponentFormattingOptions options = QUrl::FullyDecoded) const;
    QString fileName(QUrl::ComponentFormattingOptions options = QUrl::FullyDecoded) const;
    QString toString(QUrl::FormattingOptions options = QUrl::PrettyDecoded) const
    {
        return toUrl().toString(options);
    }

    friend bool operator==(const TrackFileURL& a, const TrackFileURL& b);
    // Builds the QUrl: compare many tracks with one TrackFileURL instead.
    friend bool operator==(const TrackFileURL& a, const QUrl& b) { return a.toUrl() == b; }
    friend size_t qHash(const TrackFileURL& location, size_t seed = 0)
    {
        return location.hash(seed);
    }

private:
    // A path begins with "/" (and not "//", which QUrl reads as a host); a
    // URL's text is kept after this mark, so that the two never mix.
    static constexpr char16_t urlMark = u'\x01';

    // Only when `path` is one that QUrl::fromLocalFile() gives back whole.
    static TrackFileURL ofPath(const QString& path);
    static bool isPlainPath(const QString& path);
    bool isPath() const { return !m_text.isEmpty() && m_text.front() == u'/'; }
    size_t hash(size_t seed) const;

    QString m_text;
};

} // namespace kivo

Q_DECLARE_TYPEINFO(kivo::TrackFileURL, Q_RELOCATABLE_TYPE);
