#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>
#include <optional>

namespace kivo {

class LinkOpener;

// One address the About window offers.
struct AboutLink {
    enum class Kind { homePage, supportMail, updates };

    Kind kind;
    QUrl url;
    // What the link shows; its help text is the same words.
    QString label;
    QString helpText;
    QString symbolName;
    // Shown when the system cannot open the address.
    QString failureText;
};

// The About window's content without its widgets: the version line and the
// three addresses with what a press does. Only the latest press's failure is
// kept, so the error line always belongs to it. Main thread only.
class AboutPresenter : public QObject {
    Q_OBJECT
public:
    static inline const QString description = QStringLiteral(
        "A premium desktop music library and player built around modular audio, library, "
        "metadata, playlist, queue, artwork, and waveform engines.");

    explicit AboutPresenter(LinkOpener& opener, QObject* parent = nullptr);

    // "Version " + short + " (Build " + build + ")"; a missing part reads
    // "1.0" and "1".
    static QString versionLine(
        const std::optional<QString>& shortVersion, const std::optional<QString>& build);
    // The line for this program, from the version it was built with.
    static QString programVersionLine();

    static const AboutLink& link(AboutLink::Kind kind);

    // Clears the error, asks the system to open the address, and keeps the
    // link's failure text when it could not. The window stays open either way.
    void open(AboutLink::Kind kind);

    // Published: the failure text of the latest press; empty when it succeeded.
    const QString& linkError() const { return m_linkError; }

Q_SIGNALS:
    void linkErrorChanged(const QString& error);

private:
    void setLinkError(const QString& error);

    LinkOpener& m_opener;
    QString m_linkError;
};

} // namespace kivo
