#include "app/AboutPresenter.h"

#include "app/LinkOpener.h"

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

std::optional<QString> compiledShortVersion()
{
#ifdef KIVO_SHORT_VERSION
    return QStringLiteral(KIVO_SHORT_VERSION);
#else
    return std::nullopt;
#endif
}

std::optional<QString> compiledBuild()
{
#ifdef KIVO_BUILD_NUMBER
    return QStringLiteral(KIVO_BUILD_NUMBER);
#else
    return std::nullopt;
#endif
}

} // namespace

AboutPresenter::AboutPresenter(LinkOpener& opener, QObject* parent)
    : QObject(parent)
    , m_opener(opener)
{
}

QString AboutPresenter::versionLine(
    const std::optional<QString>& shortVersion, const std::optional<QString>& build)
{
    return u"Version "_s + shortVersion.value_or(u"1.0"_s) + u" (Build "_s + build.value_or(u"1"_s)
        + u')';
}

QString AboutPresenter::programVersionLine()
{
    return versionLine(compiledShortVersion(), compiledBuild());
}

const AboutLink& AboutPresenter::link(AboutLink::Kind kind)
{
    // The maker's addresses live under a reserved domain until real ones exist.
    static const AboutLink links[] = {
        { AboutLink::Kind::homePage, QUrl(u"https://halvern.example/"_s), u"halvern.example"_s,
            u"halvern.example"_s, u"globe"_s, u"The website could not be opened."_s },
        { AboutLink::Kind::supportMail, QUrl(u"mailto:support@halvern.example"_s),
            u"support@halvern.example"_s, u"support@halvern.example"_s, u"envelope"_s,
            u"No email application is available for support."_s },
        { AboutLink::Kind::updates, QUrl(u"https://halvern.example/kivo-vovid/releases"_s),
            u"Check for Updates"_s, u"Open the Halvern Store to check for the latest release"_s,
            u"arrow.triangle.2.circlepath"_s, u"The update page could not be opened."_s },
    };
    return links[static_cast<int>(kind)];
}

void AboutPresenter::open(AboutLink::Kind kind)
{
    setLinkError({});
    const AboutLink& target = link(kind);
    if (!m_opener.openLink(target.url)) {
        setLinkError(target.failureText);
    }
}

void AboutPresenter::setLinkError(const QString& error)
{
    if (error != m_linkError) {
        m_linkError = error;
        Q_EMIT linkErrorChanged(m_linkError);
    }
}

} // namespace kivo
