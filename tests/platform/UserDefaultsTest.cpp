#include "platform/UserDefaults.h"
#include "support/FileTraps.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QtConcurrent>
#include <gtest/gtest.h>
#include <limits>
#include <nlohmann/json.hpp>

using namespace Qt::Literals::StringLiterals;

namespace kivo {
namespace {

class UserDefaultsTest : public test::TempDirTest {
protected:
    QString settingsFile() const { return path(u"config/KIVO-VOVID.json"_s); }
};

TEST_F(UserDefaultsTest, ValuesKeepTheirTypesAcrossInstances)
{
    const QByteArray binary("\x00\xff\xfe{\"", 5);
    {
        SettingsUserDefaults defaults(settingsFile());
        EXPECT_TRUE(defaults.setValue(u"workspace.left.enabled"_s, true));
        EXPECT_TRUE(defaults.setValue(u"workspace.left.width"_s, 240.0));
        EXPECT_TRUE(defaults.setValue(u"count"_s, qint64(-3)));
        EXPECT_TRUE(defaults.setValue(u"text"_s, u"5"_s));
        EXPECT_TRUE(defaults.setValue(u"trackTable.columnLayout.v1"_s, binary));
    }
    EXPECT_TRUE(SettingsUserDefaults().fileName().endsWith(u"/Halvern/KIVO-VOVID.json"_s));
    const SettingsUserDefaults reopened(settingsFile());
    EXPECT_EQ(reopened.boolValue(u"workspace.left.enabled"_s), true);
    EXPECT_EQ(reopened.doubleValue(u"workspace.left.width"_s), 240.0);
    EXPECT_EQ(reopened.integerValue(u"count"_s), -3);
    EXPECT_EQ(reopened.stringValue(u"text"_s), u"5"_s);
    EXPECT_EQ(reopened.dataValue(u"trackTable.columnLayout.v1"_s), binary);

    // Another type than the stored one reads as absent.
    EXPECT_FALSE(reopened.integerValue(u"workspace.left.width"_s));
    EXPECT_FALSE(reopened.doubleValue(u"count"_s));
    EXPECT_FALSE(reopened.integerValue(u"text"_s));
    EXPECT_FALSE(reopened.boolValue(u"text"_s));
    EXPECT_FALSE(reopened.stringValue(u"trackTable.columnLayout.v1"_s));
    EXPECT_FALSE(reopened.value(u"missing"_s));

    // The file is plain JSON.
    QFile file(settingsFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const auto document = nlohmann::json::parse(file.readAll().toStdString());
    EXPECT_EQ(document["workspace.left.enabled"], true);
    EXPECT_EQ(document["count"], -3);
}

TEST_F(UserDefaultsTest, BadValuesAndBadFilesLeaveTheRestAlone)
{
    SettingsUserDefaults defaults(settingsFile());
    defaults.setValue(u"width"_s, 300.5);
    EXPECT_FALSE(defaults.setValue(u"width"_s, std::numeric_limits<double>::quiet_NaN()));
    EXPECT_FALSE(defaults.setValue(u"width"_s, std::numeric_limits<double>::infinity()));
    EXPECT_EQ(defaults.doubleValue(u"width"_s), 300.5);
    defaults.setValue(u"other"_s, true);
    defaults.removeValue(u"width"_s);
    EXPECT_FALSE(SettingsUserDefaults(settingsFile()).value(u"width"_s));
    EXPECT_EQ(SettingsUserDefaults(settingsFile()).boolValue(u"other"_s), true);

    // A corrupt file reads as empty and can be written again.
    writeFile(u"config/KIVO-VOVID.json"_s, "{\"a\": tru");
    SettingsUserDefaults corrupt(settingsFile());
    EXPECT_FALSE(corrupt.value(u"a"_s));
    EXPECT_TRUE(corrupt.setValue(u"b"_s, qint64(1)));
    EXPECT_EQ(SettingsUserDefaults(settingsFile()).integerValue(u"b"_s), 1);

    // Values of a shape we never write are skipped, the rest still read.
    writeFile(
        u"config/KIVO-VOVID.json"_s, "{\"list\":[1,2],\"bytes\":{\"data\":\"!!\"},\"ok\":2.5}");
    const SettingsUserDefaults odd(settingsFile());
    EXPECT_FALSE(odd.value(u"list"_s));
    EXPECT_FALSE(odd.value(u"bytes"_s));
    EXPECT_EQ(odd.doubleValue(u"ok"_s), 2.5);
}

TEST_F(UserDefaultsTest, AChangeThatCannotBeWrittenWhollyLeavesTheFileAsItWas)
{
    SettingsUserDefaults defaults(settingsFile());
    ASSERT_TRUE(defaults.setValue(u"width"_s, 300.5));
    const std::string before = test::describeEntry(settingsFile());
    {
        const test::FileSizeLimit fullDisk(2);
        EXPECT_FALSE(defaults.setValue(u"other"_s, u"a longer text"_s));
        defaults.removeValue(u"width"_s);
    }
    EXPECT_EQ(test::describeEntry(settingsFile()), before);
    EXPECT_EQ(QDir(path(u"config"_s)).entryList(QDir::Files | QDir::Hidden).size(), 1);

    // Nothing but a regular file (or a link to one) is ever replaced; nothing blocks.
    for (const test::Trap trap : test::allTraps) {
        SCOPED_TRACE(int(trap));
        test::setTrap(settingsFile(), trap);
        const std::string trapped = test::describeEntry(settingsFile());
        EXPECT_FALSE(defaults.value(u"width"_s));
        EXPECT_FALSE(defaults.setValue(u"width"_s, 1.0));
        EXPECT_EQ(test::describeEntry(settingsFile()), trapped);
    }
    const QString target = writeFile(u"elsewhere.json"_s, "{\"kept\":true}");
    QFile::remove(settingsFile());
    ASSERT_TRUE(QFile::link(target, settingsFile()));
    EXPECT_TRUE(defaults.setValue(u"width"_s, 2.0));
    EXPECT_EQ(test::describeEntry(settingsFile()), "link -> " + target.toStdString());
    EXPECT_EQ(SettingsUserDefaults(target).boolValue(u"kept"_s), true);
    EXPECT_EQ(SettingsUserDefaults(target).doubleValue(u"width"_s), 2.0);

    // Nesting deep enough to overflow the stack reads as a damaged file.
    QFile::remove(settingsFile());
    writeFile(u"config/KIVO-VOVID.json"_s,
        "{\"a\":" + QByteArray(50000, '[') + QByteArray(50000, ']') + ",\"b\":0}");
    EXPECT_FALSE(defaults.value(u"b"_s));
}

TEST_F(UserDefaultsTest, OneInstanceServesManyThreads)
{
    SettingsUserDefaults defaults(settingsFile());
    QList<int> keys(16);
    std::iota(keys.begin(), keys.end(), 0);
    QtConcurrent::blockingMap(keys, [&defaults](int key) {
        defaults.setValue(u"key%1"_s.arg(key), qint64(key));
        (void)defaults.integerValue(u"key%1"_s.arg(key));
    });
    const SettingsUserDefaults reopened(settingsFile());
    for (int key : keys) {
        EXPECT_EQ(reopened.integerValue(u"key%1"_s.arg(key)), key);
    }
}

} // namespace
} // namespace kivo
