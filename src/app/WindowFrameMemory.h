#pragma once

#include <QObject>
#include <QRect>
#include <QString>
#include <memory>
#include <optional>

class QWidget;

namespace kivo {

class UserDefaults;

// Keeps a top-level window's size and position across runs: restores the
// saved frame on construction and saves the window's frame when it closes and
// when this goes (before the window does), once the window has been shown.
// The frame is kept as the text "x y width height" of the window's normal
// (not maximised) geometry, and whether it was maximised beside it under the
// key + ".maximized", so a maximised window comes back maximised over the
// frame it will return to. Must go before the window. Main thread only.
class WindowFrameMemory : public QObject {
    Q_OBJECT
public:
    WindowFrameMemory(QWidget& window, std::shared_ptr<UserDefaults> defaults, QString key);
    ~WindowFrameMemory() override;

    // The saved frame moved and sized to fit `available` (a screen's area
    // without panels), never smaller than `minimum`. A frame that cannot fit
    // keeps its top-left corner on screen, so the title bar stays in reach.
    static QRect fitted(const QRect& saved, const QRect& available, const QSize& minimum);
    // The frame a saved text gives; absent for anything but four integers in
    // a sane range with a positive size.
    static std::optional<QRect> parse(const QString& text);
    static QString text(const QRect& frame);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void restore();
    void save();
    QString maximizedKey() const;

    QWidget& m_window;
    std::shared_ptr<UserDefaults> m_defaults;
    QString m_key;
    bool m_wasShown = false;
};

} // namespace kivo
