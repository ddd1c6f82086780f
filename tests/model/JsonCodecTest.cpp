#include "model/JsonCodec.h"
#include "DatabaseTestSupport.h"

#include <gtest/gtest.h>

using namespace kivo;
using namespace Qt::Literals::StringLiterals;

TEST(JsonCodec, UuidsAndNumbersAreReadStrictly)
{
    // Either case reads; braces, missing dashes or other letters do not.
    const QUuid id = QUuid::fromString(u"{0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0}"_s);
    EXPECT_EQ(json::parseUuid(u"0f1e2d3c-4b5a-6978-8796-a5b4C3D2E1F0"_s), id);
    EXPECT_FALSE(json::parseUuid(u"{0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0}"_s));
    EXPECT_FALSE(json::parseUuid(u"0f1e2d3c4b5a69788796a5b4c3d2e1f0"_s));
    EXPECT_FALSE(json::parseUuid(u"zz1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0"_s));
    EXPECT_EQ(Date::fromDateTime(QDateTime(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC)), Date { 0 });

    // Floats are written with their shortest text; non-finite numbers never.
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
    for (const char* bad : { "f", "big", "u", "s", "n" }) {
        EXPECT_THROW((void)r.requiredInt(bad), JsonCodingError) << bad;
    }
    EXPECT_FALSE(r.optionalInt("n"));
    EXPECT_FALSE(r.optionalInt("absent"));
    EXPECT_THROW((void)r.optionalFloat("huge"), JsonCodingError);
    try {
        (void)r.requiredString("i");
        ADD_FAILURE() << "a number was read as text";
    } catch (const JsonCodingError& e) {
        EXPECT_EQ(e.keyPath(), u"[0].i"_s);
    }
    for (const char* text : { "", "[", "{\"a\":}", "\xff\xfe" }) {
        const auto error
            = test::errorOf<JsonCodingError>([&] { (void)json::parse(QByteArray(text)); });
        EXPECT_TRUE(error && error->kind() == JsonCodingError::Kind::Decoding) << text;
    }
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
    // A syntax error comes before any record's own error, whatever the size,
    // as the whole text's parse finds it.
    for (const qsizetype count : { 511, 513, 3000 }) {
        QByteArray syntax = json::encodeArray(numbers.first(count), [](int n) { return Json(n); });
        syntax.replace(",5,", ",\"x\",");
        syntax.replace(",500,", ",50-0,");
        std::string parseError, decodeError;
        try {
            (void)json::parse(syntax);
        } catch (const JsonCodingError& e) {
            parseError = e.what();
        }
        try {
            (void)json::decodeArray<int>(syntax, decodeInt);
        } catch (const JsonCodingError& e) {
            decodeError = e.what();
        }
        EXPECT_NE(parseError, "");
        EXPECT_EQ(decodeError, parseError) << count;
    }
    EXPECT_THROW((void)json::encodeArray(numbers,
                     [](int n) {
                         Json o = Json::object();
                         json::putDouble(o, "v", n == 700 ? std::nan("") : 1.0);
                         return o;
                     }),
        JsonCodingError);
}

TEST(JsonCodec, HostileTextsAreRefusedAlikeByTheSmallAndTheParallelPath)
{
    const auto nested = [](int depth) { return QByteArray(depth, '[') + QByteArray(depth, ']'); };
    const QByteArray bom = "\xEF\xBB\xBF";
    const QByteArray nul(1, '\0');
    // An array of `count` numbers, with `inject` before the element in the middle.
    const auto array = [](int count, const QByteArray& inject) {
        QByteArray text = "[";
        for (int i = 0; i < count; ++i) {
            text += (i ? "," : "") + (i == count / 2 ? inject : QByteArray())
                + QByteArray::number(i);
        }
        return text + ']';
    };
    const auto anything = [](const Json&, const QString&) { return 0; };
    const auto decodes = [&](const QByteArray& text) {
        return !test::errorOf<JsonCodingError>(
            [&] { (void)json::decodeArray<int>(text, anything); });
    };

    EXPECT_TRUE(decodes(nested(64)));
    EXPECT_FALSE(decodes(nested(65)));
    // Deep enough to overflow the stack if anything recursed into it.
    const QByteArray deep = "{\"a\":" + nested(50000) + ",\"b\":0}";
    EXPECT_THROW((void)json::parse(deep), JsonCodingError);
    EXPECT_FALSE(decodes("[" + deep + "]"));
    // A byte-order mark inside a string is a character of the text (U+FEFF).
    EXPECT_TRUE(decodes("[\"" + bom + "\"]"));

    for (const int count : { 3, 600 }) {
        SCOPED_TRACE(count);
        EXPECT_TRUE(decodes(array(count, {})));
        EXPECT_TRUE(decodes(array(count, nested(63) + ",")));
        EXPECT_FALSE(decodes(array(count, nested(64) + ",")));
        EXPECT_FALSE(decodes(array(count, nul)));
        EXPECT_FALSE(decodes(array(count, "\"a" + nul + "\",")));
        EXPECT_FALSE(decodes(array(count, bom)));
        EXPECT_FALSE(decodes(bom + array(count, {})));
        for (const QByteArray& tail : { nul + "[1]", QByteArray(" x"), QByteArray("[1]") }) {
            EXPECT_FALSE(decodes(array(count, {}) + tail));
        }
    }

    // A text large enough to be checked in parallel chunks still names its
    // first problem, by its byte, and none later.
    // Escaped quotes and backslashes inside a string end nothing.
    const QByteArray padding
        = '"' + QByteArray(1000, 'x') + "\\\"[\\\\" + QByteArray(1000, 'x') + "\\\\\"";
    struct Case {
        QByteArray inject;
        QString problem;
        qsizetype at; // the problem's byte within `inject`
    };
    for (const Case& c : { Case { nul, u"holds a NUL byte"_s, 0 },
             Case { nested(64) + ",", u"is nested more than 64 levels deep"_s, 63 },
             Case { bom, u"holds a byte-order mark"_s, 0 },
             Case { "\"a\\" + nul + "\",", u"holds a NUL byte"_s, 3 } }) {
        QByteArray text = "[";
        for (int i = 0; i < 600; ++i) {
            text += (i ? "," : "") + (i == 300 ? c.inject : QByteArray()) + padding;
        }
        text += ']';
        const qsizetype offset = text.indexOf(c.inject) + c.at;
        text.insert(text.size() - 10, nul);
        ASSERT_GT(text.size(), 1 << 20);
        const auto error = test::errorOf<JsonCodingError>([&] { json::checkText(text); });
        ASSERT_TRUE(error);
        EXPECT_EQ(error->description(),
            u"The data couldn't be read: The data %1 (byte %2)."_s.arg(c.problem).arg(offset));
        // Decoding reports the same, ahead of a record that fails earlier on.
        const auto decodeError = test::errorOf<JsonCodingError>([&] {
            (void)json::decodeArray<int>(text, [](const Json&, const QString& path) {
                if (path == u"[5]"_s) {
                    throw JsonCodingError(JsonCodingError::Kind::Decoding, path, u"bad"_s);
                }
                return 0;
            });
        });
        ASSERT_TRUE(decodeError);
        EXPECT_EQ(decodeError->description(), error->description());
    }
}

TEST(JsonCodec, FloatsReadBackExactlyWhatWasWritten)
{
    using limits = std::numeric_limits<float>;
    for (const float value : { limits::max(), -limits::max(), limits::denorm_min(),
             -limits::denorm_min(), limits::min(), 0.8f, 0.0f }) {
        Json o = Json::object();
        json::putFloat(o, "v", value);
        const Json back = json::parse(QByteArray::fromStdString(o.dump()));
        EXPECT_EQ(json::ObjectReader(back, {}).optionalFloat("v"), value) << o.dump();
    }
    // Beyond the float range, where a float parser gives infinity.
    const Json beyond = json::parse(R"({"a":3.4028236e38,"b":-1e39})");
    EXPECT_THROW((void)json::ObjectReader(beyond, {}).optionalFloat("a"), JsonCodingError);
    EXPECT_THROW((void)json::ObjectReader(beyond, {}).optionalFloat("b"), JsonCodingError);
}
