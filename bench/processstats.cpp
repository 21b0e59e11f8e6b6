#include "bench/processstats.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QStringList>

#include <sys/resource.h>
#include <unistd.h>

namespace pagewick::bench {

namespace {

double Seconds(const timeval &t)
{
    return double(t.tv_sec) + double(t.tv_usec) / 1e6;
}

// The fields of /proc/<pid>/stat after "(comm)", which may hold spaces.
QList<QByteArray> StatFields(int pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return {};
    const QByteArray text = stat.readAll();
    const qsizetype close = text.lastIndexOf(')');
    if (close < 0)
        return {};
    return text.mid(close + 2).split(' ');
}

int ParentOf(int pid)
{
    const QList<QByteArray> fields = StatFields(pid);
    return fields.size() > 1 ? fields.at(1).toInt() : 0;
}

QList<int> Descendants()
{
    const int self = int(getpid());
    QList<int> found;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &entry : entries) {
        bool numeric = false;
        const int pid = entry.toInt(&numeric);
        if (!numeric || pid == self)
            continue;
        // The engine's zygote forks the renderers: a few levels are enough.
        int ancestor = pid;
        for (int depth = 0; depth < 5 && ancestor > 1; ++depth) {
            ancestor = ParentOf(ancestor);
            if (ancestor == self) {
                found << pid;
                break;
            }
        }
    }
    return found;
}

double StatusFieldMb(const QString &path, const char *field)
{
    QFile status(path);
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> lines = status.readAll().split('\n');
    for (const QByteArray &line : lines) {
        if (!line.startsWith(field))
            continue;
        // "VmRSS:	  123456 kB"
        const QList<QByteArray> parts = line.simplified().split(' ');
        return parts.size() >= 2 ? parts.at(1).toDouble() / 1024.0 : 0;
    }
    return 0;
}

} // namespace

CpuTimes SampleCpu()
{
    CpuTimes times;
    rusage self{};
    if (getrusage(RUSAGE_SELF, &self) == 0)
        times.selfSeconds = Seconds(self.ru_utime) + Seconds(self.ru_stime);
    const double tick = double(sysconf(_SC_CLK_TCK));
    for (const int pid : Descendants()) {
        const QList<QByteArray> fields = StatFields(pid);
        // utime and stime are fields 14 and 15 of the whole line; 12 and 13 here.
        if (fields.size() > 13)
            times.childrenSeconds += (fields.at(11).toDouble() + fields.at(12).toDouble()) / tick;
    }
    return times;
}

double ResidentMb()
{
    return StatusFieldMb(QStringLiteral("/proc/self/status"), "VmRSS:");
}

double PeakResidentMb()
{
    return StatusFieldMb(QStringLiteral("/proc/self/status"), "VmHWM:");
}

double DescendantsResidentMb()
{
    double total = 0;
    for (const int pid : Descendants())
        total += StatusFieldMb(QStringLiteral("/proc/%1/status").arg(pid), "VmRSS:");
    return total;
}

} // namespace pagewick::bench
