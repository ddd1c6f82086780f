#pragma once

#include <QList>
#include <QString>
#include <QUuid>
#include <optional>

namespace kivo {

// What a smart playlist rule looks at. The raw value is also the text the
// pickers show; there is no separate display name.
enum class SmartRuleProperty { artist, album, genre, year, bpm, rating, playCount, dateAdded };

// How a rule compares. Any condition goes with any property.
enum class SmartRuleCondition { contains, isExactly, beginsWith, isGreaterThan, isLessThan };

// "Artist", "Album", …, "Play Count", "Date Added".
QString rawValue(SmartRuleProperty property);
// "contains", "is", "starts with", ">", "<".
QString rawValue(SmartRuleCondition condition);
// Exactly the raw values above: case-sensitive, no trimming.
std::optional<SmartRuleProperty> smartRulePropertyFromRawValue(const QString& raw);
std::optional<SmartRuleCondition> smartRuleConditionFromRawValue(const QString& raw);
// Every case, in the order the pickers list them.
const QList<SmartRuleProperty>& allSmartRuleProperties();
const QList<SmartRuleCondition>& allSmartRuleConditions();

// Hashed by their raw texts.
size_t qHash(SmartRuleProperty property, size_t seed = 0) noexcept;
size_t qHash(SmartRuleCondition condition, size_t seed = 0) noexcept;

// One rule being edited. `value` is kept exactly as typed: never trimmed,
// checked or converted. Rules are equal only with the same id.
struct SmartRule {
    QUuid id;
    SmartRuleProperty property = SmartRuleProperty::artist;
    SmartRuleCondition condition = SmartRuleCondition::contains;
    QString value;

    // A fresh rule: a new random id, Artist, contains, empty value.
    static SmartRule make();

    bool operator==(const SmartRule&) const = default;
};

// The text a smart playlist stores for its rules: each rule as "property
// condition value" (single spaces, the value verbatim, so an empty value leaves
// a trailing space), joined by " AND " when all must match, else " OR ". No
// rules give the empty text. Nothing reads it back, so nothing is escaped.
QString smartCriteriaText(const QList<SmartRule>& rules, bool matchAllRules);

} // namespace kivo
