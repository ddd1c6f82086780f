#pragma once

#include "ui/library/SmartRule.h"

#include <QWidget>

class QComboBox;
class QLineEdit;

namespace kivo {

class EonSymbolButton;

// One editable rule of the setup sheet: property and condition pickers, the
// value field and the remove button. Every edit is handed on at once.
class SmartRuleRowView : public QWidget {
    Q_OBJECT
public:
    explicit SmartRuleRowView(const SmartRule& rule, QWidget* parent = nullptr);

    const SmartRule& rule() const { return m_rule; }
    // Red and enabled while another rule is left, dim and disabled otherwise.
    void setRemovable(bool removable);

    QComboBox* propertyPicker() const { return m_property; }
    QComboBox* conditionPicker() const { return m_condition; }
    QLineEdit* valueField() const { return m_value; }
    EonSymbolButton* removeButton() const { return m_remove; }

Q_SIGNALS:
    void ruleEdited(const kivo::SmartRule& rule);
    void removeRequested(const QUuid& id);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    SmartRule m_rule;
    QComboBox* m_property;
    QComboBox* m_condition;
    QLineEdit* m_value;
    EonSymbolButton* m_remove;
};

// The look the sheet's pickers share.
void styleSmartRulePicker(QComboBox* picker);

} // namespace kivo
