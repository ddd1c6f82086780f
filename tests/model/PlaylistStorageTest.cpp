#include "model/PlaylistStorageImpl.h"
#include "support/TempDir.h"

#include <QFile>
#include <QFileInfo>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace kivo {
namespace {

PlaylistRecord record(const QString& name, std::optional<QUuid> parent = std::nullopt)
{
    return PlaylistRecord { .id = QUuid::createUuid(), .name = name, .parentFolderID = parent };
}

QStringList names(const QList<PlaylistRecord>& records)
{
    QStringList result;
    for (const PlaylistRecord& r : records) {
        result.push_back(r.name);
    }
    return result;
}

class PlaylistStorageTest : public test::TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        storage = std::make_unique<TavrenPlaylistStorage>(path(u"data"_s));
    }

    QString file() const { return path(u"data/playlist_records.json"_s); }
    QByteArray bytes() const
    {
        QFile f(file());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    void put(const QByteArray& content) const
    {
        QFile::remove(file());
        writeFile(u"data/playlist_records.json"_s, content);
    }

    std::unique_ptr<TavrenPlaylistStorage> storage;
};

TEST_F(PlaylistStorageTest, StartsWithAnEmptyFileAndWritesCompactRecords)
{
    EXPECT_EQ(storage->storageFilePath(), file());
    EXPECT_EQ(bytes(), QByteArray());
    EXPECT_THAT(storage->fetchAllRecords(), IsEmpty());

    const QUuid id = QUuid::fromString(u"8b0e3c8e-7d1a-4c4b-9f5e-2b2a1c3d4e5f"_s);
    storage->saveRecord(PlaylistRecord { .id = id, .name = u"Mix"_s, .displayOrderIndex = 2 });
    EXPECT_EQ(bytes(),
        "[{\"id\":\"8B0E3C8E-7D1A-4C4B-9F5E-2B2A1C3D4E5F\",\"name\":\"Mix\",\"isFolder\":false,"
        "\"isSmart\":false,\"isFavorite\":false,\"tags\":[],\"trackIDs\":[],"
        "\"displayOrderIndex\":2}]");

    PlaylistRecord full { .id = QUuid::createUuid(),
        .name = u"Smart"_s,
        .parentFolderID = id,
        .isSmart = true,
        .smartCriteria = u"rating >= 4"_s,
        .isFavorite = true,
        .description = u"Best"_s,
        .tags = { u"a"_s, u"b"_s },
        .trackIDs = { QUuid::createUuid() },
        .displayOrderIndex = -7 };
    storage->saveRecord(full);
    EXPECT_EQ(storage->fetchAllRecords().at(1), full);

    // A missing folder is created with its parents; a file in its place fails.
    TavrenPlaylistStorage nested(path(u"a/b/c"_s));
    EXPECT_TRUE(QFileInfo(path(u"a/b/c/playlist_records.json"_s)).isFile());
    EXPECT_THROW(TavrenPlaylistStorage { writeFile(u"occupied"_s, "x") }, StoreFileError);
}

TEST_F(PlaylistStorageTest, DecodingIsStrictAboutRequiredKeysOnly)
{
    // null for an optional key is absent; unknown keys are ignored.
    Json object = record(u"A"_s).toJson();
    object["parentFolderID"] = nullptr;
    object["extra"] = 5;
    put("[" + QByteArray::fromStdString(json::dump(object)) + "]");
    const QList<PlaylistRecord> records = storage->fetchAllRecords();
    ASSERT_EQ(records.size(), 1);
    EXPECT_FALSE(records[0].parentFolderID);

    Json fractional = object;
    fractional["displayOrderIndex"] = 1.5;
    Json missing = object;
    missing.erase("displayOrderIndex");
    for (const QByteArray& bad : { "[" + QByteArray::fromStdString(json::dump(fractional)) + "]",
             "[" + QByteArray::fromStdString(json::dump(missing)) + "]", QByteArray("  \n"),
             QByteArray("not json") }) {
        put(bad);
        EXPECT_THROW(storage->fetchAllRecords(), JsonCodingError) << bad.toStdString();
        EXPECT_THROW(storage->saveRecord(record(u"New"_s)), JsonCodingError);
        EXPECT_THROW(storage->deleteFolderRecursively(QUuid::createUuid()), JsonCodingError);
        EXPECT_EQ(bytes(), bad);
    }
}

TEST_F(PlaylistStorageTest, SavesReplaceInPlaceAndAppendNewRecords)
{
    const PlaylistRecord a = record(u"A"_s), b = record(u"B"_s), c = record(u"C"_s);
    storage->saveRecords({ a, b, c });
    PlaylistRecord renamed = b;
    renamed.name = u"B2"_s;
    storage->saveRecord(renamed);
    storage->saveRecord(record(u"D"_s));
    EXPECT_THAT(names(storage->fetchAllRecords()), ElementsAre(u"A"_s, u"B2"_s, u"C"_s, u"D"_s));

    // One new id twice: one record, the later values, where the first landed.
    PlaylistRecord e = record(u"E"_s);
    PlaylistRecord eLater = e;
    eLater.name = u"E2"_s;
    storage->saveRecords({ e, record(u"F"_s), eLater });
    EXPECT_THAT(names(storage->fetchAllRecords()),
        ElementsAre(u"A"_s, u"B2"_s, u"C"_s, u"D"_s, u"E2"_s, u"F"_s));

    // Fetching by parent gives direct children only, in file order.
    const PlaylistRecord inner = record(u"Inner"_s, b.id);
    storage->saveRecords({ inner, record(u"Deep"_s, inner.id), record(u"Child"_s, b.id) });
    EXPECT_THAT(names(storage->fetchRecords(b.id)), ElementsAre(u"Inner"_s, u"Child"_s));
    EXPECT_THAT(names(storage->fetchRecords(std::nullopt)),
        ElementsAre(u"A"_s, u"B2"_s, u"C"_s, u"D"_s, u"E2"_s, u"F"_s));
}

TEST_F(PlaylistStorageTest, RecursiveDeleteFollowsNestedAndCyclicParents)
{
    const PlaylistRecord a = record(u"A"_s);
    const PlaylistRecord b = record(u"B"_s, a.id);
    const PlaylistRecord c = record(u"C"_s, b.id);
    const PlaylistRecord d = record(u"D"_s);
    storage->saveRecords({ c, b, a, d });
    storage->deleteRecord(a.id);
    EXPECT_THAT(names(storage->fetchAllRecords()), ElementsAre(u"C"_s, u"B"_s, u"D"_s));

    storage->saveRecords({ a });
    storage->deleteFolderRecursively(a.id);
    EXPECT_THAT(names(storage->fetchAllRecords()), ElementsAre(u"D"_s));

    // X and Y are each other's parent; Z hangs below them.
    PlaylistRecord x = record(u"X"_s);
    PlaylistRecord y = record(u"Y"_s, x.id);
    x.parentFolderID = y.id;
    storage->saveRecords({ record(u"Z"_s, y.id), x, y });
    storage->deleteFolderRecursively(x.id);
    EXPECT_THAT(names(storage->fetchAllRecords()), ElementsAre(u"D"_s));

    // Records below an id that no record has are removed too.
    const QUuid ghost = QUuid::createUuid();
    storage->saveRecord(record(u"Orphan"_s, ghost));
    storage->deleteFolderRecursively(ghost);
    EXPECT_THAT(names(storage->fetchAllRecords()), ElementsAre(u"D"_s));

    // Deleting an unknown id rewrites the same list, also a missing one.
    const QByteArray before = bytes();
    storage->deleteRecord(QUuid::createUuid());
    EXPECT_EQ(bytes(), before);
    QFile::remove(file());
    storage->deleteRecord(x.id);
    EXPECT_EQ(bytes(), "[]");
}

TEST_F(PlaylistStorageTest, AnUnreadableFileIsNeverReplaced)
{
    storage->saveRecord(record(u"Precious"_s));
    // A folder in the file's place: a read failure even for root.
    QFile::remove(file());
    writeFile(u"data/playlist_records.json/inside"_s, "keep");

    EXPECT_THROW(storage->fetchAllRecords(), StoreFileError);
    EXPECT_THROW(storage->fetchRecords(std::nullopt), StoreFileError);
    try {
        storage->saveRecord(record(u"New"_s));
        FAIL() << "saving over an unreadable file succeeded";
    } catch (const StoreFileError& error) {
        EXPECT_EQ(error.errorCase(), StoreFileError::Case::readFailed);
        EXPECT_EQ(error.path(), file());
    }
    EXPECT_THROW(storage->saveRecords({}), StoreFileError);
    EXPECT_THROW(storage->deleteRecord(QUuid::createUuid()), StoreFileError);
    EXPECT_THROW(storage->deleteFolderRecursively(QUuid::createUuid()), StoreFileError);
    EXPECT_TRUE(QFileInfo(file()).isDir());
}

TEST(PlaylistRecordTest, EqualityAndHashCoverEveryFieldAndComposeTexts)
{
    const PlaylistRecord base { .id = QUuid::createUuid(), .name = u"Caf\u00e9"_s };
    PlaylistRecord decomposed = base;
    decomposed.name = u"Cafe\u0301"_s;
    EXPECT_EQ(base, decomposed);
    EXPECT_EQ(qHash(base), qHash(decomposed));

    PlaylistRecord moved = base;
    moved.displayOrderIndex = 1;
    EXPECT_NE(base, moved);
    PlaylistRecord emptyDescription = base;
    emptyDescription.description = QString();
    EXPECT_NE(base, emptyDescription);
    EXPECT_NE(qHash(base), qHash(emptyDescription));
}

} // namespace
} // namespace kivo
