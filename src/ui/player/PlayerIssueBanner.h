#pragma once

#include <QWidget>

class QLabel;

namespace kivo {

class EonSymbolButton;

// One playback or saving problem as a floating card with a dismiss button.
// It does not hide itself: the owner clears what it was built from.
class PlayerIssueBanner : public QWidget {
    Q_OBJECT
public:
    static constexpr int maximumCardWidth = 520;

    explicit PlayerIssueBanner(QWidget* parent = nullptr);

    void setMessage(const QString& message);
    QString message() const;
    EonSymbolButton& dismissButton() const { return *m_dismiss; }

Q_SIGNALS:
    void dismissed();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget* m_symbol;
    QLabel* m_text;
    EonSymbolButton* m_dismiss;
};

// Stands in for the song block while nothing is loaded.
class PlayerEmptyStateView : public QWidget {
    Q_OBJECT
public:
    explicit PlayerEmptyStateView(QWidget* parent = nullptr);
};

} // namespace kivo
