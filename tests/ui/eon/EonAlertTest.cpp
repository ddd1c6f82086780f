#include "ui/eon/EonAlert.h"
#include "ui/eon/EonAppearance.h"
#include "ui/eon/EonStyle.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace kivo;
using namespace Qt::Literals::StringLiterals;

namespace {

QString buttonTexts(const EonAlert& alert)
{
    QStringList texts;
    for (const QPushButton* button : alert.buttons()) {
        texts << button->text() + (button->isDefault() ? u"*"_s : u""_s);
    }
    return texts.join(u", "_s);
}

TEST(EonAlertTest, ShowsTitleOverMessageAsPlainTextWithOneOK)
{
    applyEonAppearance();
    EonAlert alert(u"<b>Track</b> Removal Failed"_s, u"<img src=x> refused"_s);
    EXPECT_EQ(alert.windowModality(), Qt::WindowModal);
    EXPECT_EQ(buttonTexts(alert), u"OK*");
    const auto* title = alert.findChild<QLabel*>(u"alertTitle"_s);
    const auto* message = alert.findChild<QLabel*>(u"alertMessage"_s);
    ASSERT_TRUE(title && message);
    EXPECT_EQ(title->text(), u"<b>Track</b> Removal Failed");
    EXPECT_EQ(message->text(), u"<img src=x> refused");
    EXPECT_EQ(title->textFormat(), Qt::PlainText);
    EXPECT_EQ(message->textFormat(), Qt::PlainText);
    EXPECT_GT(title->font().pixelSize(), message->font().pixelSize());
    EXPECT_GE(title->font().weight(), QFont::Bold);
}

TEST(EonAlertTest, ReturnPressesTheDefaultAndEscapeTheCancelButton)
{
    // role of the button pressed, per key, with Cancel or the action as default
    for (const bool cancelIsDefault : { false, true }) {
        for (const Qt::Key key : { Qt::Key_Return, Qt::Key_Escape }) {
            auto* alert = new EonAlert(u"Delete?"_s, u"This cannot be undone."_s);
            QPointer<EonAlert> guard(alert);
            QPushButton* cancel = alert->addButton(u"Cancel"_s, EonAlert::Role::cancel);
            QPushButton* destroy
                = alert->addButton(u"Delete Permanently"_s, EonAlert::Role::destructive);
            alert->setDefaultButton(cancelIsDefault ? cancel : destroy);
            EXPECT_EQ(buttonTexts(*alert),
                cancelIsDefault ? u"Cancel*, Delete Permanently" : u"Cancel, Delete Permanently*");
            EXPECT_TRUE(destroy->property(EonStyle::destructiveProperty).toBool());
            QSignalSpy finished(alert, &QDialog::finished);
            alert->open();
            QTest::keyClick(alert, key);
            ASSERT_EQ(finished.count(), 1);
            const EonAlert::Role expected = key == Qt::Key_Escape || cancelIsDefault
                ? EonAlert::Role::cancel
                : EonAlert::Role::destructive;
            EXPECT_EQ(alert->clickedRole(), expected) << cancelIsDefault << key;
            // Alerts go once closed.
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            EXPECT_FALSE(guard);
        }
    }
}

} // namespace
