#pragma once

#include <QList>
#include <QObject>
#include <QUrl>
#include <functional>

class QMimeData;

namespace kivo {

// Makes a whole screen a drop target for files: `targeted` follows a drag
// that may carry files over it (the drop zone shows meanwhile); a drop hands
// the existing local files it carries to `dropped` (which filters them
// further) and is accepted whatever it held.
class DropTarget : public QObject {
    Q_OBJECT
public:
    DropTarget(QWidget& screen, std::function<void(bool)> targeted,
        std::function<void(QList<QUrl>)> dropped);

    // A drag comes over the screen: true when it may carry files.
    bool enter(const QMimeData& data);
    void leave();
    // A drag is dropped on the screen.
    void drop(const QMimeData& data);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void(bool)> m_targeted;
    std::function<void(QList<QUrl>)> m_dropped;
};

} // namespace kivo
