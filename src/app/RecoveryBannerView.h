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
    // The banner's size when given at most `available` pixels across: as wide
    // as its text on one line needs, up to 540; fits the text to that width.
    QSize fitTo(int available);
    // The whole message; the label may show it cut to two lines.
    const QString& message() const { return m_fullText; }
    QLabel& messageLabel() const { return *m_message; }
    EonSymbolButton& closeButton() const { return *m_close; }

Q_SIGNALS:
    void dismissed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void fitMessage();
    int chromeWidth() const;

    QString m_fullText;
    QWidget* m_icon;
    QLabel* m_message;
    EonSymbolButton* m_close;
};

} // namespace kivo
