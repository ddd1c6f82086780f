#include "ui/library/SmartRule.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo {
namespace {

SmartRule rule(SmartRuleProperty property, SmartRuleCondition condition, const QString& value)
{
    SmartRule result = SmartRule::make();
    result.property = property;
    result.condition = condition;
    result.value = value;
    return result;
}

TEST(SmartRuleTest, CriteriaTextJoinsRulesVerbatimWithOneWordForTheWholeList)
{
    const SmartRule night
        = rule(SmartRuleProperty::artist, SmartRuleCondition::contains, u"Night"_s);
    const SmartRule rated
        = rule(SmartRuleProperty::rating, SmartRuleCondition::isGreaterThan, u"3"_s);
    const SmartRule spaced
        = rule(SmartRuleProperty::playCount, SmartRuleCondition::beginsWith, u" a OR b "_s);
    const struct {
        QList<SmartRule> rules;
        bool matchAll;
        QString text;
    } cases[] = {
        { {}, true, u""_s },
        { { SmartRule::make() }, true, u"Artist contains "_s },
        { { night }, false, u"Artist contains Night"_s },
        { { night, rated }, true, u"Artist contains Night AND Rating > 3"_s },
        { { night, rated }, false, u"Artist contains Night OR Rating > 3"_s },
        { { spaced, SmartRule::make() }, true,
            u"Play Count starts with  a OR b  AND Artist contains "_s },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(smartCriteriaText(c.rules, c.matchAll), c.text);
    }
}

TEST(SmartRuleTest, RawValuesRoundTripExactlyAndInPickerOrder)
{
    QStringList properties;
    for (SmartRuleProperty property : allSmartRuleProperties()) {
        EXPECT_EQ(smartRulePropertyFromRawValue(rawValue(property)), property);
        properties.append(rawValue(property));
    }
    EXPECT_EQ(properties.join(u'|'), u"Artist|Album|Genre|Year|BPM|Rating|Play Count|Date Added");
    QStringList conditions;
    for (SmartRuleCondition condition : allSmartRuleConditions()) {
        EXPECT_EQ(smartRuleConditionFromRawValue(rawValue(condition)), condition);
        conditions.append(rawValue(condition));
    }
    EXPECT_EQ(conditions.join(u'|'), u"contains|is|starts with|>|<");

    for (const QString& raw : { u"artist"_s, u"Artist "_s, u" BPM"_s, u"play count"_s, u""_s }) {
        EXPECT_FALSE(smartRulePropertyFromRawValue(raw)) << raw.toStdString();
    }
    for (const QString& raw : { u"Contains"_s, u"is "_s, u"startswith"_s, u">="_s }) {
        EXPECT_FALSE(smartRuleConditionFromRawValue(raw)) << raw.toStdString();
    }
    EXPECT_EQ(qHash(SmartRuleProperty::bpm), qHash(u"BPM"_s));
}

TEST(SmartRuleTest, FreshRulesAreDefaultButNeverEqual)
{
    const SmartRule a = SmartRule::make();
    SmartRule b = SmartRule::make();
    EXPECT_EQ(a.property, SmartRuleProperty::artist);
    EXPECT_EQ(a.condition, SmartRuleCondition::contains);
    EXPECT_TRUE(a.value.isEmpty());
    EXPECT_NE(a, b);
    b.id = a.id;
    EXPECT_EQ(a, b);
}

} // namespace
} // namespace kivo
