#pragma once

#include <QWidget>

class QLabel;

namespace kivo {

class EonSymbolButton;

// The start-up problem banner at the top of the window: the message as plain
// text in at most two lines, no wider than 540, and a close button.
class RecoveryBannerView : public QWidget {
    Q_OBJECT
public:
    static constexpr int maximumBannerWidth = 540;

    explicit RecoveryBannerView(QWidget* parent = nullptr);

    void setMessage(const QString& message);
    QString message() const;
    QLabel& messageLabel() const { return *m_message; }
    EonSymbolButton& closeButton() const { return *m_close; }

Q_SIGNALS:
    void dismissed();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLabel* m_message;
    EonSymbolButton* m_close;
};

} // namespace kivo
