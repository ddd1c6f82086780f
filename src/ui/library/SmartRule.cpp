#include "ui/library/SmartRule.h"

#include <QHash>
#include <QStringList>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

QString rawValue(SmartRuleProperty property)
{
    switch (property) {
    case SmartRuleProperty::artist:
        return u"Artist"_s;
    case SmartRuleProperty::album:
        return u"Album"_s;
    case SmartRuleProperty::genre:
        return u"Genre"_s;
    case SmartRuleProperty::year:
        return u"Year"_s;
    case SmartRuleProperty::bpm:
        return u"BPM"_s;
    case SmartRuleProperty::rating:
        return u"Rating"_s;
    case SmartRuleProperty::playCount:
        return u"Play Count"_s;
    case SmartRuleProperty::dateAdded:
        return u"Date Added"_s;
    }
    return {};
}

QString rawValue(SmartRuleCondition condition)
{
    switch (condition) {
    case SmartRuleCondition::contains:
        return u"contains"_s;
    case SmartRuleCondition::isExactly:
        return u"is"_s;
    case SmartRuleCondition::beginsWith:
        return u"starts with"_s;
    case SmartRuleCondition::isGreaterThan:
        return u">"_s;
    case SmartRuleCondition::isLessThan:
        return u"<"_s;
    }
    return {};
}

const QList<SmartRuleProperty>& allSmartRuleProperties()
{
    static const QList<SmartRuleProperty> cases { SmartRuleProperty::artist,
        SmartRuleProperty::album, SmartRuleProperty::genre, SmartRuleProperty::year,
        SmartRuleProperty::bpm, SmartRuleProperty::rating, SmartRuleProperty::playCount,
        SmartRuleProperty::dateAdded };
    return cases;
}

const QList<SmartRuleCondition>& allSmartRuleConditions()
{
    static const QList<SmartRuleCondition> cases { SmartRuleCondition::contains,
        SmartRuleCondition::isExactly, SmartRuleCondition::beginsWith,
        SmartRuleCondition::isGreaterThan, SmartRuleCondition::isLessThan };
    return cases;
}

namespace {

template <typename Enum>
std::optional<Enum> fromRawValue(const QList<Enum>& cases, const QString& raw)
{
    for (Enum value : cases) {
        if (rawValue(value) == raw) {
            return value;
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<SmartRuleProperty> smartRulePropertyFromRawValue(const QString& raw)
{
    return fromRawValue(allSmartRuleProperties(), raw);
}

std::optional<SmartRuleCondition> smartRuleConditionFromRawValue(const QString& raw)
{
    return fromRawValue(allSmartRuleConditions(), raw);
}

size_t qHash(SmartRuleProperty property, size_t seed) noexcept
{
    return ::qHash(rawValue(property), seed);
}

size_t qHash(SmartRuleCondition condition, size_t seed) noexcept
{
    return ::qHash(rawValue(condition), seed);
}

SmartRule SmartRule::make()
{
    return { QUuid::createUuid(), SmartRuleProperty::artist, SmartRuleCondition::contains, {} };
}

QString smartCriteriaText(const QList<SmartRule>& rules, bool matchAllRules)
{
    QStringList texts;
    texts.reserve(rules.size());
    for (const SmartRule& rule : rules) {
        texts.append(rawValue(rule.property) + u' ' + rawValue(rule.condition) + u' ' + rule.value);
    }
    return texts.join(matchAllRules ? u" AND "_s : u" OR "_s);
}

} // namespace kivo
