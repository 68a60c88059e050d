#include "usablecores.h"

#include <QByteArray>
#include <QFile>
#include <QList>

#include <algorithm>
#include <sched.h>
#include <unistd.h>

namespace pw {

namespace {

// The CPU quota of the process's control group in whole cores (rounded up); 0 when it has
// none or it cannot be read.
int cgroupCores() {
    QFile file(QStringLiteral("/sys/fs/cgroup/cpu.max"));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = file.readLine().trimmed().split(' ');
    bool quotaOk = false;
    bool periodOk = false;
    const qint64 quota = fields.value(0).toLongLong(&quotaOk);
    const qint64 period = fields.value(1).toLongLong(&periodOk);
    if (!quotaOk || !periodOk || quota <= 0 || period <= 0)
        return 0; // "max": no quota
    return int(std::max<qint64>(1, (quota + period - 1) / period));
}

} // namespace

int UsableCores() {
    int cores = 0;
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0)
        cores = CPU_COUNT(&set);
    if (cores <= 0)
        cores = std::max(1, int(sysconf(_SC_NPROCESSORS_ONLN)));
    const int quota = cgroupCores();
    return quota > 0 ? std::min(cores, quota) : cores;
}

} // namespace pw
