#include "model/TextRules.h"

#include <QList>
#include <algorithm>
#include <gtest/gtest.h>

using namespace kivo;
using namespace Qt::Literals::StringLiterals;

namespace {
const QString eAcuteComposed = QString(QChar(0x00E9));
const QString eAcuteDecomposed = u"e"_s + QChar(0x0301);
const QString privateUse = QString(QChar(0xE000));
const QString supplementary = QString::fromUcs4(U"\U00010000");
} // namespace

TEST(TextRules, CanonicalEquivalenceDrivesEqualityAndPlainOrderIsCodePointOrder)
{
    EXPECT_TRUE(text::equal(eAcuteComposed, eAcuteDecomposed));
    EXPECT_EQ(text::hash(eAcuteComposed), text::hash(eAcuteDecomposed));
    EXPECT_FALSE(text::equal(u"e"_s, u"E"_s));
    EXPECT_EQ(text::comparePlain(u"caf"_s + eAcuteComposed, u"caf"_s + eAcuteDecomposed), 0);

    // UTF-16 unit order would put U+10000 (a surrogate pair) before U+E000.
    EXPECT_LT(text::comparePlain(privateUse, supplementary), 0);
    EXPECT_GT(text::comparePlain(supplementary, privateUse), 0);
    EXPECT_LT(text::comparePlain(u"B"_s, u"a"_s), 0); // case-sensitive, not locale-aware
    EXPECT_LT(text::comparePlain(u"abc"_s, u"abcd"_s), 0); // prefix first
    EXPECT_LT(text::comparePlain(QString(), u"a"_s), 0);
}

TEST(TextRules, LocaleOrderFallsBackToEnglishForCLocale)
{
    const QLocale fallback = text::collationLocaleFor(QLocale::c());
    EXPECT_EQ(fallback.language(), QLocale::English);
    EXPECT_EQ(fallback.territory(), QLocale::UnitedStates);

    for (const QLocale& locale : { fallback, QLocale(QLocale::English, QLocale::UnitedStates) }) {
        const QCollator collator = text::makeCollator(locale);
        EXPECT_LT(collator.compare(u"apple"_s, u"Banana"_s), 0) << locale.name().toStdString();
        // Digits are not compared by value: "10" sorts before "2".
        EXPECT_LT(collator.compare(u"Track 10"_s, u"Track 2"_s), 0);
        // Case only breaks ties: "apple" and "Apple" sit together before "banana".
        EXPECT_LT(collator.compare(u"Apple"_s, u"banana"_s), 0);
        EXPECT_NE(collator.compare(u"apple"_s, u"Apple"_s), 0);
    }
    // The process-wide order agrees.
    EXPECT_LT(text::compareLocalized(u"apple"_s, u"Banana"_s), 0);
}

TEST(TextRules, SortKeysAgreeWithLocaleCompare)
{
    QStringList words { u"banana"_s, u"Apple"_s, u"apple"_s, u"Cherry"_s, eAcuteComposed, u"e"_s };
    QStringList byCompare = words;
    std::sort(byCompare.begin(), byCompare.end(), text::localizedLess);
    QList<std::pair<QCollatorSortKey, QString>> keyed;
    for (const QString& word : words) {
        keyed.push_back({ text::localizedSortKey(word), word });
    }
    std::sort(keyed.begin(), keyed.end(),
        [](const auto& a, const auto& b) { return a.first.compare(b.first) < 0; });
    QStringList byKey;
    for (const auto& entry : keyed) {
        byKey.push_back(entry.second);
    }
    EXPECT_EQ(byKey, byCompare);
}

TEST(TextRules, ContainmentTrimmingAndGraphemes)
{
    EXPECT_FALSE(text::containsCaseInsensitive(u"anything"_s, QString()));
    EXPECT_FALSE(text::containsCaseInsensitive(QString(), QString()));
    EXPECT_TRUE(text::containsCaseInsensitive(u"The Beatles"_s, u"beat"_s));
    EXPECT_TRUE(text::containsCaseInsensitive(u"Caf"_s + eAcuteDecomposed, eAcuteComposed));

    EXPECT_EQ(text::trimmed(u" \t\n Song \r\n"_s), u"Song"_s);
    EXPECT_EQ(text::graphemeCount(eAcuteDecomposed), 1);
    EXPECT_EQ(text::graphemeCount(u"ab"_s + supplementary), 3);
    // A family emoji joined with zero-width joiners is one character.
    EXPECT_EQ(
        text::graphemeCount(QString::fromUcs4(U"\U0001F468\u200D\U0001F469\u200D\U0001F467")), 1);
}
