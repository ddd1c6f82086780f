#include "model/JsonCodec.h"
#include "model/JsonTextScan.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

using namespace Qt::Literals::StringLiterals;

// The error, the text forms of single values, and whole documents. The object
// writers and readers are in JsonObjectCodec.cpp, the parallel array parser in
// JsonArrayParser.cpp.

namespace kivo {

JsonCodingError::JsonCodingError(Kind kind, QString keyPath, QString message)
    : m_kind(kind)
    , m_keyPath(std::move(keyPath))
{
    const QString what = kind == Kind::Decoding ? QStringLiteral("The data couldn't be read")
                                                : QStringLiteral("The data couldn't be written");
    m_description = m_keyPath.isEmpty()
        ? what + u": "_s + message
        : what + u": "_s + message + u" (key \""_s + m_keyPath + u"\")"_s;
    m_what = m_description.toStdString();
}

namespace json {

// ---- text forms --------------------------------------------------------------

QString uuidText(const QUuid& id)
{
    return id.toString(QUuid::WithoutBraces).toUpper();
}

std::optional<QUuid> parseUuid(QAnyStringView text)
{
    if (text.size() != 36) {
        return std::nullopt;
    }
    const QUuid id = QUuid::fromString(text);
    if (id.isNull() && text != QAnyStringView(u"00000000-0000-0000-0000-000000000000")) {
        return std::nullopt;
    }
    return id;
}

bool uuidTextLess(const QUuid& a, const QUuid& b)
{
    // Hex text order equals numeric order of the fields in text order.
    if (a.data1 != b.data1) {
        return a.data1 < b.data1;
    }
    if (a.data2 != b.data2) {
        return a.data2 < b.data2;
    }
    if (a.data3 != b.data3) {
        return a.data3 < b.data3;
    }
    return std::memcmp(a.data4, b.data4, sizeof a.data4) < 0;
}

QString fileUrlText(const QUrl& url)
{
    QString text = url.toString(QUrl::FullyEncoded);
    // Qt writes every "#" of a fragment as "%23", also one it read raw (as in
    // "file:///a#b#c", which another program wrote for the file "a#b#c"), and
    // that text reads back as another URL. Raw ones are written raw again.
    const QString kept = url.hasFragment() ? url.fragment(QUrl::PrettyDecoded) : QString();
    if (!kept.contains(u'#')) {
        return text;
    }
    // Each "#" of the fragment, in order: true when it is raw.
    QList<bool> raw;
    for (qsizetype i = 0; i < kept.size(); ++i) {
        if (kept[i] == u'#') {
            raw.push_back(true);
        } else if (kept[i] == u'%') {
            if (QStringView(kept).mid(i, 3) == u"%23") {
                raw.push_back(false);
            }
            i += 2;
        }
    }
    const QString encoded = url.fragment(QUrl::FullyEncoded);
    QString fragment;
    qsizetype next = 0;
    for (qsizetype i = 0; i < encoded.size(); ++i) {
        if (encoded[i] == u'%' && QStringView(encoded).mid(i, 3) == u"%23") {
            if (next >= raw.size()) {
                return text;
            }
            fragment += raw[next++] ? u"#"_s : u"%23"_s;
            i += 2;
        } else {
            fragment += encoded[i];
        }
    }
    return next == raw.size() ? text.left(text.size() - encoded.size()) + fragment : text;
}

QUrl fileUrlFromText(const QString& text)
{
    return QUrl(text, QUrl::StrictMode);
}

double floatToJsonDouble(float value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer - 1, value);
    *result.ptr = '\0';
    return std::strtod(buffer, nullptr);
}

std::optional<float> floatFromJsonDouble(double value)
{
    constexpr double largest = std::numeric_limits<float>::max();
    // Halfway between FLT_MAX and the next power of two: from there on a float
    // parser rounds to infinity.
    constexpr double overflow = 0x1.ffffffp+127;
    if (!std::isfinite(value) || std::abs(value) >= overflow) {
        return std::nullopt;
    }
    if (std::abs(value) > largest) {
        return float(std::copysign(largest, value));
    }
    return float(value);
}

std::string toStd(const QString& text)
{
    return text.toStdString();
}

QString fromStd(const std::string& text)
{
    return fromUtf8(text);
}

QString fromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

std::string dump(const Json& document)
{
    // Strict UTF-8: texts come from QString, so invalid sequences cannot occur.
    return document.dump();
}

namespace {

// What checkText() refuses, and at which byte.
struct TextProblem {
    const char* problem;
    qsizetype offset;
};

// The first problem in bytes [begin, end), which start outside any string at
// nesting `depth`.
std::optional<TextProblem> findTextProblem(
    const QByteArray& bytes, qsizetype begin, qsizetype end, int depth)
{
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    for (qsizetype i = begin; i < end; ++i) {
        const unsigned char c = data[i];
        if (c == 0) {
            return TextProblem { "holds a NUL byte", i };
        }
        switch (c) {
        case '"': {
            // In a string only a NUL is refused, escaped or not.
            const qsizetype close = closingQuote(bytes.constData(), i + 1, end);
            if (const void* nul = std::memchr(data + i + 1, 0, size_t(close - i - 1))) {
                return TextProblem { "holds a NUL byte",
                    static_cast<const unsigned char*>(nul) - data };
            }
            i = close;
            break;
        }
        case '[':
        case '{':
            if (++depth > maximumDepth) {
                return TextProblem { "is nested more than 64 levels deep", i };
            }
            break;
        case ']':
        case '}':
            // An unmatched one is the parser's syntax error to report.
            depth = std::max(0, depth - 1);
            break;
        case 0xEF:
            if (i + 2 < end && data[i + 1] == 0xBB && data[i + 2] == 0xBF) {
                return TextProblem { "holds a byte-order mark", i };
            }
            break;
        default:
            break;
        }
    }
    return std::nullopt;
}

JsonCodingError textError(const TextProblem& problem)
{
    return JsonCodingError(JsonCodingError::Kind::Decoding, QString(),
        QStringLiteral("The data %1 (byte %2).")
            .arg(QString::fromUtf8(problem.problem))
            .arg(problem.offset));
}

} // namespace

std::optional<JsonCodingError> elementTextProblem(
    const QByteArray& bytes, qsizetype begin, qsizetype end)
{
    // Elements start outside any string, at depth 1.
    if (const std::optional<TextProblem> problem = findTextProblem(bytes, begin, end, 1)) {
        return textError(*problem);
    }
    return std::nullopt;
}

void checkText(const QByteArray& bytes)
{
    std::optional<TextProblem> first;
    // A library's text is hundreds of megabytes: its elements are checked
    // side by side. Between them there are only brackets, commas and spaces,
    // which the split has seen; each starts outside any string, at depth 1.
    constexpr qsizetype parallelSize = qsizetype(1) << 20;
    std::optional<std::vector<std::pair<qsizetype, qsizetype>>> ranges;
    if (bytes.size() >= parallelSize) {
        ranges = splitTopLevelArray(bytes);
    }
    if (ranges && !ranges->empty()) {
        const qsizetype count = qsizetype(ranges->size());
        const qsizetype chunkCount = std::min<qsizetype>(count, codecPool().maxThreadCount() * 4);
        std::vector<std::optional<TextProblem>> problems(static_cast<size_t>(chunkCount));
        std::vector<qsizetype> chunks(static_cast<size_t>(chunkCount));
        for (qsizetype c = 0; c < chunkCount; ++c) {
            chunks[size_t(c)] = c;
        }
        QtConcurrent::blockingMap(&codecPool(), chunks, [&](qsizetype c) {
            const qsizetype firstElement = count * c / chunkCount;
            const qsizetype lastElement = count * (c + 1) / chunkCount - 1;
            problems[size_t(c)] = findTextProblem(bytes, (*ranges)[size_t(firstElement)].first,
                (*ranges)[size_t(lastElement)].second, 1);
        });
        const auto found = std::find_if(problems.cbegin(), problems.cend(),
            [](const std::optional<TextProblem>& problem) { return problem.has_value(); });
        if (found != problems.cend()) {
            first = *found;
        }
    } else {
        first = findTextProblem(bytes, 0, bytes.size(), 0);
    }
    if (first) {
        throw textError(*first);
    }
}

Json parseChecked(const QByteArray& bytes)
{
    return parseRange(bytes, 0, bytes.size(), QString());
}

Json parse(const QByteArray& bytes)
{
    checkText(bytes);
    return parseChecked(bytes);
}

} // namespace json
} // namespace kivo
