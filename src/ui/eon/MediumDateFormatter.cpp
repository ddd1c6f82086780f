#include "ui/eon/MediumDateFormatter.h"

#include <QLocale>
#include <QMutex>
#include <QMutexLocker>
#include <memory>
#include <unicode/datefmt.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

// Seconds from 1970-01-01 to 2001-01-01.
constexpr double referenceDateOffset = 978307200.0;

QString systemLocaleName()
{
    const QString name = QLocale::system().name();
    return (name == u"C"_s || name.isEmpty()) ? u"en_US"_s : name;
}

} // namespace

QString formatMediumDate(const Date& date)
{
    return formatMediumDate(date, systemLocaleName());
}

QString formatMediumDate(const Date& date, const QString& localeName)
{
    // ICU formatters are not safe to share between threads: one lock keeps a
    // single cached formatter per locale.
    static QMutex mutex;
    static QString cachedLocale;
    static std::unique_ptr<icu::DateFormat> formatter;
    QMutexLocker lock(&mutex);
    if (!formatter || cachedLocale != localeName) {
        const QByteArray name = localeName.toUtf8();
        formatter.reset(icu::DateFormat::createDateInstance(
            icu::DateFormat::kMedium, icu::Locale::createFromName(name.constData())));
        cachedLocale = localeName;
    }
    if (!formatter) {
        return QLocale(localeName).toString(date.toDateTime().toLocalTime().date());
    }
    const UDate milliseconds = (date.secondsSinceReferenceDate + referenceDateOffset) * 1000.0;
    icu::UnicodeString text;
    formatter->format(milliseconds, text);
    return QString(reinterpret_cast<const QChar*>(text.getBuffer()), text.length());
}

} // namespace kivo
