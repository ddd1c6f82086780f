#include "ui/eon/TimeText.h"

#include "model/TextRules.h"

#include <QStringList>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

QString twoDigits(qint64 value)
{
    return u"%1"_s.arg(value, 2, 10, QLatin1Char('0'));
}

// An optional sign and one or more ASCII digits, fitting a signed 64-bit
// integer; nothing else (no blanks, no other digit scripts).
std::optional<qint64> wholeNumber(QStringView piece)
{
    qsizetype index = 0;
    bool negative = false;
    if (!piece.isEmpty() && (piece[0] == u'+' || piece[0] == u'-')) {
        negative = piece[0] == u'-';
        index = 1;
    }
    if (index == piece.size()) {
        return std::nullopt;
    }
    // Accumulate towards the negative side so that the smallest value fits.
    qint64 value = 0;
    for (; index < piece.size(); ++index) {
        const char16_t c = piece[index].unicode();
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
        if (__builtin_mul_overflow(value, qint64(10), &value)
            || __builtin_sub_overflow(value, qint64(c - u'0'), &value)) {
            return std::nullopt;
        }
    }
    if (!negative) {
        if (value == std::numeric_limits<qint64>::min()) {
            return std::nullopt;
        }
        value = -value;
    }
    return value;
}

std::optional<double> parseColonForm(const QString& text)
{
    const QStringList pieces = text.split(u':', Qt::SkipEmptyParts);
    if (pieces.size() != 2 && pieces.size() != 3) {
        return std::nullopt;
    }
    static constexpr qint64 weightsOfTwo[] = { 60, 1 };
    static constexpr qint64 weightsOfThree[] = { 3600, 60, 1 };
    const qint64* weights = pieces.size() == 2 ? weightsOfTwo : weightsOfThree;
    qint64 total = 0;
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        const std::optional<qint64> value = wholeNumber(pieces[i]);
        qint64 weighted = 0;
        if (!value || __builtin_mul_overflow(*value, weights[i], &weighted)
            || __builtin_add_overflow(total, weighted, &total)) {
            return std::nullopt;
        }
    }
    return double(total);
}

// Decimal conversion independent of the process locale (Qt sets the
// user's locale, which may use a comma as decimal point).
std::optional<double> parseNumberForm(const QString& text)
{
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    if (!cLocale) {
        return std::nullopt;
    }
    const QByteArray bytes = text.toUtf8();
    char* end = nullptr;
    const double value = strtod_l(bytes.constData(), &end, cLocale);
    if (end != bytes.constData() + bytes.size() || std::isnan(value) || value < 0) {
        return std::nullopt;
    }
    return value + 0.0; // -0 reads as 0
}

} // namespace

QString formatTime(double seconds)
{
    // 2^63: the first value whose rounded total no longer fits a qint64.
    constexpr double firstTooLarge = 9223372036854775808.0;
    if (!std::isfinite(seconds) || !(seconds > 0) || std::round(seconds) >= firstTooLarge) {
        return u"0:00"_s;
    }
    const auto total = static_cast<qint64>(std::round(seconds));
    const qint64 hours = total / 3600;
    const qint64 minutes = (total % 3600) / 60;
    const qint64 secs = total % 60;
    if (total < 3600) {
        return QString::number(minutes) + u':' + twoDigits(secs);
    }
    return QString::number(hours) + u':' + twoDigits(minutes) + u':' + twoDigits(secs);
}

std::optional<double> parseTimeText(const QString& text)
{
    const QString trimmed = kivo::text::trimmed(text);
    if (trimmed.isEmpty()) {
        return 0.0;
    }
    if (trimmed.contains(u':')) {
        return parseColonForm(trimmed);
    }
    return parseNumberForm(trimmed);
}

} // namespace kivo
