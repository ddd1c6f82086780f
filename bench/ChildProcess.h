#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QProcess>
#include <QStringList>
#include <cstdio>
#include <cstdlib>

namespace kivo::bench {

// Runs this bench again with `arguments` (a fresh process per measurement, so
// its memory starts clean) and returns what it printed; ends the bench when
// the child fails.
inline QByteArray runChild(const QStringList& arguments)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), arguments);
    if (!child.waitForFinished(-1) || child.exitStatus() != QProcess::NormalExit
        || child.exitCode() != 0) {
        std::fprintf(stderr, "child %s failed\n", arguments.join(u' ').toUtf8().constData());
        std::exit(1);
    }
    return child.readAllStandardOutput();
}

} // namespace kivo::bench
