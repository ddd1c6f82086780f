#pragma once

#include <QCollator>
#include <QCollatorSortKey>
#include <QLocale>
#include <QString>

// Every text comparison the program makes goes through these rules, so that
// sorting, searching and de-duplication agree everywhere.
namespace kivo::text {

// The canonically composed (NFC) form.
QString nfc(const QString& text);

// Equality of canonically composed forms ("e" + U+0301 equals "é").
bool equal(const QString& a, const QString& b);

// Hash consistent with equal().
size_t hash(const QString& text, size_t seed = 0);

// Plain order: code points of the NFC forms, case-sensitive, not locale-aware;
// a text sorts before any longer text that begins with it. Returns <0, 0, >0.
int comparePlain(const QString& a, const QString& b);
inline bool plainLess(const QString& a, const QString& b)
{
    return comparePlain(a, b) < 0;
}

// Plain order of texts already in NFC (skips normalisation in hot loops).
int compareCodePoints(QStringView a, QStringView b);

// Locale order: the process-wide collator of the user's locale (English
// (United States) when the locale is C/POSIX), case-sensitive, numeric off.
int compareLocalized(const QString& a, const QString& b);
inline bool localizedLess(const QString& a, const QString& b)
{
    return compareLocalized(a, b) < 0;
}

// The locale whose order the collator follows: `system`, or English (United
// States) when `system` is C/POSIX, which would otherwise sort by code point.
QLocale collationLocaleFor(const QLocale& system);

// A collator with the program's settings for `locale`.
QCollator makeCollator(const QLocale& locale);

// Collation key for sorting large lists in locale order.
QCollatorSortKey localizedSortKey(const QString& text);

// Case-insensitive containment; an empty needle matches nothing.
bool containsCaseInsensitive(const QString& haystack, const QString& needle);

// Removes white space and line breaks from both ends.
QString trimmed(const QString& text);

// Number of user-perceived characters (grapheme clusters).
int graphemeCount(const QString& text);

} // namespace kivo::text
