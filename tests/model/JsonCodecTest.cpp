#include "model/JsonCodec.h"

#include <gtest/gtest.h>

using namespace kivo;
using namespace Qt::Literals::StringLiterals;

TEST(JsonCodec, UuidTextIsUpperCaseAndReadsEitherCase)
{
    const QUuid id = QUuid::fromString(u"{0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0}"_s);
    EXPECT_EQ(json::uuidText(id), u"0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0"_s);
    EXPECT_EQ(json::parseUuid(u"0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0"_s), id);
    EXPECT_EQ(json::parseUuid(u"0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0"_s), id);
    EXPECT_FALSE(json::parseUuid(u"{0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0}"_s));
    EXPECT_FALSE(json::parseUuid(u"0f1e2d3c4b5a69788796a5b4c3d2e1f0"_s));
    EXPECT_FALSE(json::parseUuid(u"zz1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0"_s));
    EXPECT_EQ(json::parseUuid(u"00000000-0000-0000-0000-000000000000"_s), QUuid());
}

TEST(JsonCodec, NumbersAreWrittenShortAndReadStrictly)
{
    EXPECT_EQ(json::floatToJsonDouble(0.8f), 0.8);
    EXPECT_EQ(float(json::floatToJsonDouble(0.1f)), 0.1f);

    Json o = Json::object();
    json::putFloat(o, "v", 0.3f);
    EXPECT_EQ(o.dump(), R"({"v":0.3})");
    EXPECT_THROW(json::putDouble(o, "d", std::nan("")), JsonCodingError);

    const Json doc
        = Json::parse(R"({"i":3.0,"f":2.5,"big":1e30,"huge":1e40,"u":18446744073709551615,)"
                      R"("neg":-9007199254740993,"s":"3","n":null})");
    const json::ObjectReader r(doc, u"[0]"_s);
    EXPECT_EQ(r.requiredInt("i"), 3);
    EXPECT_EQ(r.requiredInt("neg"), -9007199254740993LL);
    EXPECT_THROW((void)r.requiredInt("f"), JsonCodingError);
    EXPECT_THROW((void)r.requiredInt("big"), JsonCodingError);
    EXPECT_THROW((void)r.requiredInt("u"), JsonCodingError);
    EXPECT_THROW((void)r.requiredInt("s"), JsonCodingError);
    EXPECT_FALSE(r.optionalInt("n"));
    EXPECT_FALSE(r.optionalInt("absent"));
    EXPECT_THROW((void)r.requiredInt("n"), JsonCodingError);
    EXPECT_THROW((void)r.optionalFloat("huge"), JsonCodingError);
    try {
        (void)r.requiredString("i");
    } catch (const JsonCodingError& e) {
        EXPECT_EQ(e.keyPath(), u"[0].i"_s);
    }
}

TEST(JsonCodec, DatesUrlsAndBytes)
{
    Json o = Json::object();
    json::putDate(o, "d", Date { 1.0 / 3.0 });
    json::putUrl(o, "u", QUrl::fromLocalFile(u"/M\u00fcsic/a #1.mp3"_s));
    json::putBytes(o, "b", QByteArray("\0\xff", 2));
    const Json back = Json::parse(o.dump());
    const json::ObjectReader r(back, QString());
    EXPECT_EQ(r.requiredDate("d").secondsSinceReferenceDate, 1.0 / 3.0);
    EXPECT_EQ(r.requiredUrl("u").toLocalFile(), u"/M\u00fcsic/a #1.mp3"_s);
    EXPECT_EQ(back["u"], "file:///M%C3%BCsic/a%20%231.mp3");
    EXPECT_EQ(*r.optionalBytes("b"), QByteArray("\0\xff", 2));
    EXPECT_EQ(back["b"], "AP8=");

    EXPECT_EQ(Date::fromDateTime(QDateTime(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC)), Date { 0 });
    EXPECT_LT(Date::distantPast(), Date { -3e10 });
}

TEST(JsonCodec, MalformedDocumentsAreDecodingErrors)
{
    for (const char* text : { "", "[", "{\"a\":}", "\xff\xfe" }) {
        try {
            (void)json::parse(QByteArray(text));
            ADD_FAILURE() << "parsed: " << text;
        } catch (const JsonCodingError& e) {
            EXPECT_EQ(e.kind(), JsonCodingError::Kind::Decoding);
        }
    }
    EXPECT_THROW((json::ObjectReader { Json::array(), u"x"_s }), JsonCodingError);
    EXPECT_THROW(
        (void)json::readArray<int>(Json::object(), [](const Json&, const QString&) { return 0; }),
        JsonCodingError);
}

TEST(JsonCodec, LargeArraysDecodeLikeSmallOnes)
{
    const auto decodeInt = [](const Json& e, const QString& path) {
        if (!e.is_number_integer()) {
            throw JsonCodingError(JsonCodingError::Kind::Decoding, path, u"not an integer"_s);
        }
        return e.get<int>();
    };
    QList<int> numbers;
    for (int i = 0; i < 3000; ++i) {
        numbers.push_back(i);
    }
    const QByteArray text = json::encodeArray(numbers, [](int n) {
        return n % 2 ? Json(n) : Json { { "n", n } };
    });
    EXPECT_EQ(Json::parse(text.constData()).size(), 3000u);
    const QByteArray plain = json::encodeArray(numbers, [](int n) { return Json(n); });
    EXPECT_EQ(json::decodeArray<int>(plain, decodeInt), numbers);
    EXPECT_EQ(json::encodeArray(QList<int> {}, [](int n) { return Json(n); }), QByteArray("[]"));

    // Strings holding brackets, commas and escaped quotes don't confuse the split.
    const QByteArray tricky = R"( [ "a,]}\"[", {"k":[1,{"x":"]"}]}, 3 ] )";
    const auto ranges = json::splitTopLevelArray(tricky);
    ASSERT_TRUE(ranges);
    EXPECT_EQ(ranges->size(), 3u);

    for (const char* bad : { "[1,]", "[,1]", "[1 2", "[1]]", "[1] x", "{}", "[{]}" }) {
        EXPECT_FALSE(json::splitTopLevelArray(QByteArray(bad))) << bad;
    }

    // The first bad element by position is reported, in serial and parallel paths.
    QByteArray broken = plain;
    broken.replace(",1500,", ",\"x\",");
    broken.replace(",2500,", ",\"y\",");
    try {
        (void)json::decodeArray<int>(broken, decodeInt);
        FAIL() << "expected a decoding error";
    } catch (const JsonCodingError& e) {
        EXPECT_EQ(e.keyPath(), u"[1500]"_s);
    }
    QByteArray syntax = plain;
    syntax.replace(",2000,", ",20-0,");
    EXPECT_THROW((void)json::decodeArray<int>(syntax, decodeInt), JsonCodingError);
    EXPECT_THROW((void)json::encodeArray(numbers,
                     [](int n) {
                         Json o = Json::object();
                         json::putDouble(o, "v", n == 700 ? std::nan("") : 1.0);
                         return o;
                     }),
        JsonCodingError);
}
