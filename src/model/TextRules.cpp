#include "model/TextRules.h"

#include <QHash>
#include <QLocale>
#include <QTextBoundaryFinder>

namespace kivo::text {

QLocale collationLocaleFor(const QLocale& system)
{
    if (system.language() == QLocale::C || system.name() == u"C" || system.name() == u"POSIX") {
        return QLocale(QLocale::English, QLocale::UnitedStates);
    }
    return system;
}

QCollator makeCollator(const QLocale& locale)
{
    QCollator c(locale);
    c.setCaseSensitivity(Qt::CaseSensitive);
    c.setNumericMode(false);
    c.setIgnorePunctuation(false);
    // QCollator initialises lazily; comparing once here makes later
    // concurrent const use safe.
    (void)c.compare(u"a", u"b");
    return c;
}

namespace {

// One collator for the process, built on first use.
const QCollator& collator()
{
    static const QCollator instance = makeCollator(collationLocaleFor(QLocale::system()));
    return instance;
}

// Maps a UTF-16 unit so that unit order equals code-point order: surrogates
// (U+D800..DFFF) stand for code points above U+FFFF and must sort after U+E000..FFFF.
inline char16_t codePointOrderUnit(char16_t unit)
{
    if (unit >= 0xD800) {
        return unit >= 0xE000 ? char16_t(unit - 0x800) : char16_t(unit + 0x2000);
    }
    return unit;
}

} // namespace

QString nfc(const QString& text)
{
    return text.normalized(QString::NormalizationForm_C);
}

bool equal(const QString& a, const QString& b)
{
    return a == b || nfc(a) == nfc(b);
}

size_t hash(const QString& text, size_t seed)
{
    return qHash(nfc(text), seed);
}

int compareCodePoints(QStringView a, QStringView b)
{
    const qsizetype n = std::min(a.size(), b.size());
    const char16_t* pa = a.utf16();
    const char16_t* pb = b.utf16();
    for (qsizetype i = 0; i < n; ++i) {
        if (pa[i] != pb[i]) {
            return codePointOrderUnit(pa[i]) < codePointOrderUnit(pb[i]) ? -1 : 1;
        }
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

int comparePlain(const QString& a, const QString& b)
{
    return compareCodePoints(nfc(a), nfc(b));
}

int compareLocalized(const QString& a, const QString& b)
{
    const int r = collator().compare(a, b);
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

QCollatorSortKey localizedSortKey(const QString& text)
{
    return collator().sortKey(text);
}

bool containsCaseInsensitive(const QString& haystack, const QString& needle)
{
    if (needle.isEmpty()) {
        return false;
    }
    return nfc(haystack).contains(nfc(needle), Qt::CaseInsensitive);
}

QString trimmed(const QString& text)
{
    return text.trimmed();
}

int graphemeCount(const QString& text)
{
    if (text.isEmpty()) {
        return 0;
    }
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    int count = 0;
    while (finder.toNextBoundary() != -1) {
        ++count;
    }
    return count;
}

} // namespace kivo::text
