#pragma once

#include <QByteArray>
#include <QString>
#include <signal.h>
#include <string>
#include <sys/resource.h>

namespace kivo::test {

// Makes every write past `bytes` fail with EFBIG, as a full disk makes writes
// fail, until destroyed: lowers the soft RLIMIT_FSIZE and ignores SIGXFSZ,
// then puts both back. Needs no privileges.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_previousLimit {};
    struct sigaction m_previousAction { };
};

// Something that is not a regular file, put in a file's place. Links point
// only at entries beside the file, never elsewhere on the system.
enum class Trap { fifo, linkLoop, linkToFifo };
inline constexpr Trap allTraps[] = { Trap::fifo, Trap::linkLoop, Trap::linkToFifo };
const char* trapName(Trap trap);

// Removes whatever is at `path` and puts the trap there.
void setTrap(const QString& path, Trap trap);

// What is at `path`, looked at without following or opening anything but a
// regular file: "missing", "fifo", "folder", "link -> <target>" or
// "file: <bytes>".
std::string describeEntry(const QString& path);

} // namespace kivo::test
