#include "app/WindowFrameMemory.h"

#include "platform/UserDefaults.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScopeGuard>
#include <QScreen>
#include <QStringList>
#include <QWidget>
#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

// Far beyond any desktop, small enough that no edge arithmetic overflows.
constexpr int coordinateLimit = 1'000'000;

// The new position of an edge running from `start` for `length` in the span
// from `low` for `extent`: moved inside when it fits, else kept only while
// its start is within the span.
int fittedStart(int start, int length, int low, int extent)
{
    if (length <= extent) {
        return std::clamp(start, low, low + extent - length);
    }
    return start >= low && start < low + extent ? start : low;
}

} // namespace

WindowFrameMemory::WindowFrameMemory(
    QWidget& window, std::shared_ptr<UserDefaults> defaults, QString key)
    : m_window(window)
    , m_defaults(std::move(defaults))
    , m_key(std::move(key))
{
    restore();
    m_window.installEventFilter(this);
}

WindowFrameMemory::~WindowFrameMemory()
{
    save();
}

QRect WindowFrameMemory::fitted(const QRect& saved, const QRect& available, const QSize& minimum)
{
    const QSize size = saved.size().boundedTo(available.size()).expandedTo(minimum);
    return { fittedStart(saved.x(), size.width(), available.x(), available.width()),
        fittedStart(saved.y(), size.height(), available.y(), available.height()), size.width(),
        size.height() };
}

std::optional<QRect> WindowFrameMemory::parse(const QString& text)
{
    const QStringList parts = text.split(u' ');
    if (parts.size() != 4) {
        return std::nullopt;
    }
    int numbers[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        numbers[i] = parts[i].toInt(&ok);
        const int lowest = i < 2 ? -coordinateLimit : 1;
        if (!ok || numbers[i] < lowest || numbers[i] > coordinateLimit) {
            return std::nullopt;
        }
    }
    return QRect(numbers[0], numbers[1], numbers[2], numbers[3]);
}

QString WindowFrameMemory::text(const QRect& frame)
{
    return u"%1 %2 %3 %4"_s.arg(frame.x()).arg(frame.y()).arg(frame.width()).arg(frame.height());
}

bool WindowFrameMemory::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_window) {
        if (event->type() == QEvent::Show) {
            m_wasShown = true;
        } else if (event->type() == QEvent::Close) {
            save();
        }
    }
    return false;
}

void WindowFrameMemory::restore()
{
    // The frame first: maximising keeps it as the one to return to.
    const auto maximize = qScopeGuard([this] {
        if (m_defaults->boolValue(maximizedKey()).value_or(false)) {
            m_window.setWindowState(m_window.windowState() | Qt::WindowMaximized);
        }
    });
    const std::optional<QString> stored = m_defaults->stringValue(m_key);
    const std::optional<QRect> saved = stored ? parse(*stored) : std::nullopt;
    if (!saved) {
        return; // nothing saved, or nothing usable: the window's own default
    }
    const QScreen* screen = QGuiApplication::screenAt(saved->center());
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen == nullptr) {
        return;
    }
    const QSize minimum = m_window.minimumSizeHint().expandedTo(m_window.minimumSize());
    m_window.setGeometry(fitted(*saved, screen->availableGeometry(), minimum));
}

void WindowFrameMemory::save()
{
    if (!m_wasShown) {
        return; // a window never on screen has no frame of the user's
    }
    const bool isNormal = !(m_window.isMaximized() || m_window.isFullScreen());
    // A frame that cannot be written costs the user only the next start's position.
    m_defaults->setValue(m_key, text(isNormal ? m_window.geometry() : m_window.normalGeometry()));
    m_defaults->setValue(maximizedKey(), m_window.isMaximized());
}

QString WindowFrameMemory::maximizedKey() const
{
    return m_key + u".maximized"_s;
}

} // namespace kivo
