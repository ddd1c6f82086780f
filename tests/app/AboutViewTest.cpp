#include "app/AboutView.h"
#include "app/AboutPresenter.h"
#include "app/AppIdentity.h"
#include "app/LinkOpener.h"
#include "ui/eon/EonPressButtonStyle.h"

#include <QSet>
#include <QTest>
#include <gtest/gtest.h>

using namespace kivo;
using namespace Qt::Literals::StringLiterals;

namespace {

// Accepts only the addresses the test allows, remembering every request.
class FakeLinks : public LinkOpener {
public:
    bool openLink(const QUrl& url) override
    {
        opened << url.toString();
        return accepted.contains(url.scheme());
    }
    QStringList opened;
    QSet<QString> accepted;
};

TEST(AboutPresenter, VersionLineFallsBackPartByPart)
{
    const struct {
        std::optional<QString> shortVersion;
        std::optional<QString> build;
        const char16_t* expected;
    } cases[] = {
        { std::nullopt, std::nullopt, u"Version 1.0 (Build 1)" },
        { u"2.3"_s, u"41"_s, u"Version 2.3 (Build 41)" },
        { u"2.3"_s, std::nullopt, u"Version 2.3 (Build 1)" },
        { std::nullopt, u"7"_s, u"Version 1.0 (Build 7)" },
    };
    for (const auto& each : cases) {
        EXPECT_EQ(AboutPresenter::versionLine(each.shortVersion, each.build),
            QString::fromUtf16(each.expected));
    }
    EXPECT_TRUE(AboutPresenter::programVersionLine().startsWith(u"Version "_s));
}

TEST(AboutView, EachPressClearsTheLastErrorAndShowsOnlyItsOwnFailure)
{
    FakeLinks links;
    AboutView view(links);
    view.show();
    EXPECT_EQ(view.size(), AboutView::fixedSize);
    EXPECT_EQ(view.windowTitle(), u"About KIVO VOVID");
    EXPECT_EQ(view.versionText(), AboutPresenter::programVersionLine());
    EXPECT_EQ(view.errorText(), u"");

    view.linkButton(AboutLink::Kind::supportMail).click();
    EXPECT_EQ(view.errorText(), u"No email application is available for support.");
    links.accepted = { u"https"_s };
    view.linkButton(AboutLink::Kind::updates).click();
    EXPECT_EQ(view.errorText(), u"");
    links.accepted = {};
    view.linkButton(AboutLink::Kind::updates).click();
    EXPECT_EQ(view.errorText(), u"The update page could not be opened.");
    view.linkButton(AboutLink::Kind::homePage).click();
    EXPECT_EQ(view.errorText(), u"The website could not be opened.");

    EXPECT_EQ(links.opened,
        (QStringList { u"mailto:support@halvern.example"_s,
            u"https://halvern.example/kivo-vovid/releases"_s,
            u"https://halvern.example/kivo-vovid/releases"_s, u"https://halvern.example/"_s }));
    EXPECT_TRUE(view.isVisible()); // a link never closes the window
}

// The image itself, as the window system and the About window get it: a tile
// with transparent rounded corners around the amber now-playing bars.
TEST(AboutView, ShowsTheProgramsOwnIcon)
{
    const auto isAmber = [](const QColor& color) {
        return color.red() > 200 && color.green() > 130 && color.blue() < 170;
    };
    const QImage icon = appIcon().pixmap(64).toImage();
    ASSERT_EQ(icon.size(), QSize(64, 64));
    EXPECT_EQ(icon.pixelColor(1, 1).alpha(), 0);
    EXPECT_TRUE(isAmber(icon.pixelColor(32, 30)));
    EXPECT_EQ(icon.pixelColor(16, 32).alpha(), 255); // the dark tile between ring and edge

    FakeLinks links;
    AboutView view(links);
    auto* tile = view.findChild<QWidget*>(u"about.icon"_s);
    ASSERT_TRUE(tile);
    EXPECT_EQ(tile->size(), QSize(92, 92));
    EXPECT_TRUE(isAmber(tile->grab().toImage().pixelColor(46, 46)));
}

TEST(AboutView, EscapeAndTheCloseButtonCloseIt)
{
    FakeLinks links;
    AboutView view(links);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    view.activateWindow();
    QTest::keyClick(&view, Qt::Key_Escape);
    EXPECT_FALSE(view.isVisible());
    view.show();
    view.closeButton().click();
    EXPECT_FALSE(view.isVisible());
}

} // namespace
