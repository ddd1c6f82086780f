#include "model/WorkerPriority.h"

#include <QThread>
#include <QThreadPool>
#include <algorithm>

namespace kivo {

int workerThreadCount()
{
    return std::max(1, QThread::idealThreadCount() - 1);
}

void leaveTheWindowACore()
{
    QThreadPool::globalInstance()->setMaxThreadCount(workerThreadCount());
}

} // namespace kivo
