#pragma once

#include <QUrl>

namespace kivo {

// Shows a file (or folder) in the desktop's file manager. Tests replace it.
class FileRevealer {
public:
    virtual ~FileRevealer() = default;
    virtual void reveal(const QUrl& target) = 0;
};

// The file manager's FileManager1 service selects the item; without one the
// folder opens with the desktop's default handler.
class DesktopFileRevealer final : public FileRevealer {
public:
    void reveal(const QUrl& target) override;
};

} // namespace kivo
