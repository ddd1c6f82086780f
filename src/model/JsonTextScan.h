#pragma once

#include <QtGlobal>
#include <cstring>

namespace kivo::json {

// Where the string whose text starts at `from` ends: the position of its
// closing quote, or `end` when it has none. Most of a library's bytes are
// strings; jumping from quote to quote reads them many times faster than
// looking at each byte. A quote counts when an even number of backslashes
// comes before it, as a byte-by-byte reading that skips each escaped
// character finds too.
inline qsizetype closingQuote(const char* data, qsizetype from, qsizetype end)
{
    const qsizetype start = from;
    while (from < end) {
        const void* found = std::memchr(data + from, '"', size_t(end - from));
        if (!found) {
            return end;
        }
        const qsizetype quote = static_cast<const char*>(found) - data;
        qsizetype backslashes = 0;
        while (quote - backslashes > start && data[quote - backslashes - 1] == '\\') {
            ++backslashes;
        }
        if (backslashes % 2 == 0) {
            return quote;
        }
        from = quote + 1;
    }
    return end;
}

} // namespace kivo::json
