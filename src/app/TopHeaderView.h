#pragma once

#include <QWidget>

class QLineEdit;

namespace kivo {

class EonIconButton;

// A header bar: a rounded search field (at most 360 wide) on the left and the
// list and grid view buttons on the right. No screen shows it yet; what is
// typed stays in the field, and the buttons keep their looks (list active,
// grid inactive) and do nothing.
class TopHeaderView : public QWidget {
    Q_OBJECT
public:
    static constexpr int maximumSearchWidth = 360;

    explicit TopHeaderView(QWidget* parent = nullptr);

    QString searchText() const;
    QLineEdit& searchField() const { return *m_searchField; }
    QWidget& searchBox() const { return *m_searchBox; }
    EonIconButton& listButton() const { return *m_listButton; }
    EonIconButton& gridButton() const { return *m_gridButton; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget* m_searchBox;
    QLineEdit* m_searchField;
    EonIconButton* m_listButton;
    EonIconButton* m_gridButton;
};

} // namespace kivo
