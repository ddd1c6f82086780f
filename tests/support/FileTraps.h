#pragma once

#include <QString>
#include <signal.h>
#include <string>
#include <sys/resource.h>

namespace kivo::test {

// Until destroyed, every write past `bytes` fails with EFBIG as on a full disk:
// lowers the soft RLIMIT_FSIZE and ignores SIGXFSZ. Needs no privileges.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();

private:
    rlimit m_previousLimit {};
    struct sigaction m_previousAction { };
};

// Entries that are not regular files. Links point only beside the file.
enum class Trap { fifo, linkLoop, linkToFifo };
inline constexpr Trap allTraps[] = { Trap::fifo, Trap::linkLoop, Trap::linkToFifo };

// Replaces whatever is at `path` with the trap.
void setTrap(const QString& path, Trap trap);

// What is at `path`, opening nothing but a regular file: "missing", "fifo",
// "folder", "other", "link -> <target>" or "file: <bytes>".
std::string describeEntry(const QString& path);

} // namespace kivo::test
