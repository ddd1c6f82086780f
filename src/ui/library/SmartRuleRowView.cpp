#include "ui/library/SmartRuleRowView.h"

#include "ui/editing/EditingStyle.h"
#include "ui/eon/EonFonts.h"
#include "ui/eon/EonMetrics.h"
#include "ui/eon/EonPalette.h"
#include "ui/eon/EonSymbolButton.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPainter>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

constexpr double rowRadius = eon::controlCornerRadius;
} // namespace

void styleSmartRulePicker(QComboBox* picker)
{
    picker->setFont(eonFont(eon::textBody, QFont::Medium));
}

SmartRuleRowView::SmartRuleRowView(const SmartRule& rule, QWidget* parent)
    : QWidget(parent)
    , m_rule(rule)
    , m_property(new QComboBox(this))
    , m_condition(new QComboBox(this))
    , m_value(new QLineEdit(this))
    , m_remove(new EonSymbolButton(u"minus.circle.fill"_s, 13, eonTextTertiary(), this))
{
    setObjectName(u"smartPlaylistSetup.rule"_s);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(eon::spaceM, eon::spaceM, eon::spaceM, eon::spaceM);
    row->setSpacing(eon::spaceXL);
    for (SmartRuleProperty property : allSmartRuleProperties()) {
        m_property->addItem(rawValue(property), int(property));
    }
    for (SmartRuleCondition condition : allSmartRuleConditions()) {
        m_condition->addItem(rawValue(condition), int(condition));
    }
    m_property->setCurrentIndex(int(allSmartRuleProperties().indexOf(rule.property)));
    m_condition->setCurrentIndex(int(allSmartRuleConditions().indexOf(rule.condition)));
    m_property->setFixedWidth(110);
    m_condition->setFixedWidth(100);
    m_property->setAccessibleName(u"Property"_s);
    m_condition->setAccessibleName(u"Condition"_s);
    styleSmartRulePicker(m_property);
    styleSmartRulePicker(m_condition);
    m_value->setPlaceholderText(u"Value"_s);
    m_value->setText(rule.value);
    m_value->setAccessibleName(u"Value"_s);
    editing::styleField(m_value, 0.045, Qt::transparent, eon::compactCornerRadius,
        eonFont(eon::textBody, QFont::Medium));
    m_value->setStyleSheet(m_value->styleSheet() + u" QLineEdit { padding: 6px 10px; }"_s);
    m_remove->setAccessibleName(u"Remove rule"_s);
    m_remove->setFixedSize(22, 22);
    row->addWidget(m_property);
    row->addWidget(m_condition);
    row->addWidget(m_value, 1);
    row->addWidget(m_remove);

    connect(m_property, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_rule.property = allSmartRuleProperties().value(index);
        Q_EMIT ruleEdited(m_rule);
    });
    connect(m_condition, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_rule.condition = allSmartRuleConditions().value(index);
        Q_EMIT ruleEdited(m_rule);
    });
    connect(m_value, &QLineEdit::textEdited, this, [this](const QString& text) {
        m_rule.value = text;
        Q_EMIT ruleEdited(m_rule);
    });
    connect(
        m_remove, &QAbstractButton::clicked, this, [this] { Q_EMIT removeRequested(m_rule.id); });
}

void SmartRuleRowView::setRemovable(bool removable)
{
    m_remove->setEnabled(removable);
    m_remove->setColor(removable ? eonWithOpacity(eonDestructive(), 0.6) : eonTextTertiary());
}

void SmartRuleRowView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setBrush(eonWithOpacity(Qt::white, 0.025));
    painter.setPen(QPen(eonHairline(), 1));
    painter.drawRoundedRect(frame, rowRadius, rowRadius);
}

} // namespace kivo
