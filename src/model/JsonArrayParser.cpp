#include "model/JsonCodec.h"
#include "model/JsonTextScan.h"
#include "model/WorkerPriority.h"

#include <QThread>
#include <algorithm>

namespace kivo::json {

// ---- large arrays ------------------------------------------------------------

QThreadPool& codecPool()
{
    static QThreadPool* pool = [] {
        auto* p = new QThreadPool();
        p->setMaxThreadCount(workerThreadCount());
        p->setExpiryTimeout(5000);
        return p;
    }();
    return *pool;
}

std::optional<std::vector<std::pair<qsizetype, qsizetype>>> splitTopLevelArray(
    const QByteArray& bytes)
{
    const char* data = bytes.constData();
    const qsizetype size = bytes.size();
    auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    qsizetype i = 0;
    while (i < size && isSpace(data[i])) {
        ++i;
    }
    if (i >= size || data[i] != '[') {
        return std::nullopt;
    }
    ++i;
    std::vector<std::pair<qsizetype, qsizetype>> ranges;
    std::vector<char> stack; // open brackets below the top-level array
    qsizetype elementStart = i;
    bool sawContent = false;
    for (; i < size; ++i) {
        const char c = data[i];
        switch (c) {
        case '"':
            i = closingQuote(data, i + 1, size);
            sawContent = true;
            break;
        case '{':
        case '[':
            stack.push_back(c);
            sawContent = true;
            break;
        case '}':
        case ']':
            if (stack.empty()) {
                if (c != ']') {
                    return std::nullopt;
                }
                if (sawContent) {
                    ranges.emplace_back(elementStart, i);
                } else if (!ranges.empty()) {
                    return std::nullopt; // "[1,]"
                }
                for (++i; i < size; ++i) {
                    if (!isSpace(data[i])) {
                        return std::nullopt; // trailing garbage
                    }
                }
                return ranges;
            }
            if ((c == '}') != (stack.back() == '{')) {
                return std::nullopt;
            }
            stack.pop_back();
            break;
        case ',':
            if (stack.empty()) {
                if (!sawContent) {
                    return std::nullopt;
                }
                ranges.emplace_back(elementStart, i);
                elementStart = i + 1;
                sawContent = false;
            }
            break;
        default:
            if (!isSpace(c)) {
                sawContent = true;
            }
        }
    }
    return std::nullopt; // unterminated
}

namespace {

// Reads a text's syntax and nothing else; keeps the parser's error.
struct SyntaxOnly {
    std::optional<std::string> error;

    bool null() { return true; }
    bool boolean(bool) { return true; }
    bool number_integer(Json::number_integer_t) { return true; }
    bool number_unsigned(Json::number_unsigned_t) { return true; }
    bool number_float(Json::number_float_t, const std::string&) { return true; }
    bool string(std::string&) { return true; }
    bool binary(Json::binary_t&) { return true; }
    bool start_object(std::size_t) { return true; }
    bool key(std::string&) { return true; }
    bool end_object() { return true; }
    bool start_array(std::size_t) { return true; }
    bool end_array() { return true; }
    bool parse_error(std::size_t, const std::string&, const nlohmann::json::exception& e)
    {
        error = e.what();
        return false;
    }
};

JsonCodingError invalidJson(const QString& path, const char* parserMessage)
{
    return JsonCodingError(JsonCodingError::Kind::Decoding, path,
        QStringLiteral("The data isn't valid JSON (%1).").arg(QString::fromUtf8(parserMessage)));
}

} // namespace

std::optional<JsonCodingError> syntaxError(const QByteArray& bytes)
{
    SyntaxOnly reader;
    Json::sax_parse(bytes.constData(), bytes.constData() + bytes.size(), &reader);
    return reader.error ? std::optional(invalidJson(QString(), reader.error->c_str()))
                        : std::nullopt;
}

Json parseRange(const QByteArray& bytes, qsizetype begin, qsizetype end, const QString& path)
{
    try {
        return Json::parse(bytes.constData() + begin, bytes.constData() + end);
    } catch (const nlohmann::json::exception& e) {
        throw invalidJson(path, e.what());
    }
}

} // namespace kivo::json
