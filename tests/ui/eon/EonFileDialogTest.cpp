#include "ui/eon/EonFileDialog.h"
#include "platform/UserDefaults.h"
#include "ui/eon/EonFonts.h"
#include "ui/eon/EonSortLabel.h"

#include <QDir>
#include <QFileDialog>
#include <QFontMetricsF>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kivo;
using namespace Qt::Literals::StringLiterals;

namespace {

TEST(EonFileDialogTest, OpensNonNativeOverTheWindowInHomeThenWhereTheUserLastAccepted)
{
    QWidget window;
    QWidget child(&window);
    QTemporaryDir other;
    QFileDialog* first = makeEonFileDialog(&child, u"Import Songs"_s, u"test-music"_s);
    EXPECT_EQ(first->parentWidget(), &window);
    EXPECT_TRUE(first->testOption(QFileDialog::DontUseNativeDialog));
    EXPECT_EQ(first->windowModality(), Qt::WindowModal);
    EXPECT_EQ(first->directory().absolutePath(), QDir::home().absolutePath());
    first->setDirectory(other.path());
    static_cast<QDialog*>(first)->done(QDialog::Accepted);

    QFileDialog* again = makeEonFileDialog(&window, u"Import Songs"_s, u"test-music"_s);
    EXPECT_EQ(again->directory().absolutePath(), QDir(other.path()).absolutePath());
    again->setDirectory(QDir::rootPath());
    static_cast<QDialog*>(again)->done(QDialog::Rejected); // a cancelled chooser remembers nothing
    QFileDialog* artwork = makeEonFileDialog(&window, u"Choose Artwork"_s, u"test-artwork"_s);
    EXPECT_EQ(artwork->directory().absolutePath(), QDir::home().absolutePath());
    QFileDialog* third = makeEonFileDialog(&window, u"Import Songs"_s, u"test-music"_s);
    EXPECT_EQ(third->directory().absolutePath(), QDir(other.path()).absolutePath());
    delete artwork;
    delete third;

    // Kept in the settings, the folder holds across a restart.
    QTemporaryDir settings;
    keepEonFileDialogFoldersIn(
        std::make_shared<SettingsUserDefaults>(settings.filePath(u"s.json"_s)));
    QFileDialog* kept = makeEonFileDialog(&window, u"Import Songs"_s, u"test-music"_s);
    EXPECT_EQ(kept->directory().absolutePath(), QDir::home().absolutePath());
    kept->setDirectory(other.path());
    static_cast<QDialog*>(kept)->done(QDialog::Accepted);
    keepEonFileDialogFoldersIn(
        std::make_shared<SettingsUserDefaults>(settings.filePath(u"s.json"_s)));
    QFileDialog* restarted = makeEonFileDialog(&window, u"Import Songs"_s, u"test-music"_s);
    EXPECT_EQ(restarted->directory().absolutePath(), QDir(other.path()).absolutePath());
    delete restarted;
    keepEonFileDialogFoldersIn(nullptr);
}

TEST(EonFileDialogTest, ASortLabelGivesUpLetterSpacingBeforeLetters)
{
    QFont font = eonMonoFont(10, QFont::Bold);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0.6);
    const EonSortLabel roomy
        = EonSortLabel::layout(font, u"Duration"_s, 200, u"chevron.down"_s, 11.2, 4);
    EXPECT_EQ(roomy.text, u"Duration");
    EXPECT_NEAR(roomy.font.letterSpacing(), 0.6, 0.02);
    EXPECT_GT(roomy.chevronWidth, 0);
    EXPECT_LT(roomy.chevronWidth, 11.2); // the chevron's ink, not its box

    QFont unspaced = font;
    unspaced.setLetterSpacing(QFont::AbsoluteSpacing, 0);
    const double tight = QFontMetricsF(unspaced).horizontalAdvance(u"Duration"_s);
    const EonSortLabel snug = EonSortLabel::layout(
        font, u"Duration"_s, tight + 1 + 4 + roomy.chevronWidth, u"chevron.down"_s, 11.2, 4);
    EXPECT_EQ(snug.text, u"Duration");
    EXPECT_LT(snug.font.letterSpacing(), roomy.font.letterSpacing());
    EXPECT_LE(snug.width(), tight + 1 + 4 + roomy.chevronWidth + 0.01);

    const EonSortLabel cut = EonSortLabel::layout(font, u"Duration"_s, 30, {}, 11.2, 4);
    EXPECT_TRUE(cut.text.endsWith(QChar(0x2026)));
    EXPECT_EQ(cut.chevronWidth, 0);
    EXPECT_LE(cut.width(), 30);
}

} // namespace
