#include "workflow/filesystem.h"

#include "workflow/localecodec.h"

#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pagewick::workflow {

namespace {

QByteArray nativePath(const QString &path)
{
    return encodeForLocale(path);
}

bool writeAll(int fd, const QByteArray &bytes)
{
    const char *p = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

QByteArray directoryOf(const QByteArray &path)
{
    const int slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    if (slash == 0)
        return QByteArrayLiteral("/");
    return path.left(slash);
}

WriteFailure failureOf(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return WriteFailure::NoPermission;
    case ENOENT:
    case ENOTDIR:
        return WriteFailure::NoDirectory;
    case EROFS:
        return WriteFailure::ReadOnlyDisk;
    case ENOSPC:
    case EDQUOT:
        return WriteFailure::DiskFull;
    default:
        return WriteFailure::Other;
    }
}

mode_t defaultFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

class PosixFileSystem : public FileSystem
{
public:
    bool exists(const QString &path) override
    {
        struct stat st;
        return !path.isEmpty() && ::stat(nativePath(path).constData(), &st) == 0;
    }

    bool isNormalFile(const QString &path) override
    {
        struct stat st;
        if (path.isEmpty() || ::stat(nativePath(path).constData(), &st) != 0)
            return false;
        return S_ISREG(st.st_mode) && !QFileInfo(path).fileName().startsWith(QLatin1Char('.'));
    }

    bool createDirectory(const QString &path) override
    {
        return !path.isEmpty() && ::mkdir(nativePath(path).constData(), 0777) == 0;
    }

    std::optional<QByteArray> readFile(const QString &path) override
    {
        const int fd = ::open(nativePath(path).constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return std::nullopt;
        QByteArray data;
        char buffer[65536];
        for (;;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                ::close(fd);
                return std::nullopt;
            }
            if (n == 0)
                break;
            data.append(buffer, int(n));
        }
        ::close(fd);
        return data;
    }

    WriteFailure lastWriteFailure() override { return m_lastFailure; }

    bool canWriteIn(const QString &directory) override
    {
        struct stat st;
        const QByteArray native = nativePath(directory);
        return !native.isEmpty() && ::stat(native.constData(), &st) == 0 && S_ISDIR(st.st_mode)
               && ::access(native.constData(), W_OK | X_OK) == 0;
    }

    bool writeFileReplacing(const QString &path, const QByteArray &bytes) override
    {
        m_lastFailure = WriteFailure::Other;
        const bool written = replace(path, bytes);
        if (written)
            m_lastFailure = WriteFailure::None;
        return written;
    }

    bool appendFile(const QString &path, const QByteArray &bytes) override
    {
        const QByteArray target = nativePath(path);
        if (target.isEmpty())
            return false;
        // Unbuffered: each write(2) is in the system's hands when it returns.
        const int fd = ::open(target.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
        if (fd < 0)
            return false;
        const bool ok = writeAll(fd, bytes);
        return (::close(fd) == 0) && ok;
    }

private:
    // Notes the reason of the first step that failed.
    bool failed(int error)
    {
        if (m_lastFailure == WriteFailure::Other)
            m_lastFailure = failureOf(error);
        return false;
    }

    bool replace(const QString &path, const QByteArray &bytes)
    {
        const QByteArray target = nativePath(path);
        if (target.isEmpty())
            return false;
        mode_t mode = defaultFileMode();
        struct stat st;
        if (::stat(target.constData(), &st) == 0) {
            // A file without any write permission is read-only even to the
            // superuser, whom access() would let through.
            const bool readOnly = (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
            if (!S_ISREG(st.st_mode) || readOnly || ::access(target.constData(), W_OK) != 0) {
                m_lastFailure = WriteFailure::FileRefused;
                return false;
            }
            mode = st.st_mode & 07777;
        }
        QByteArray temp = directoryOf(target) + "/.pagewick-save-XXXXXX";
        const int fd = ::mkstemp(temp.data());
        if (fd < 0)
            return failed(errno);
        bool ok = writeAll(fd, bytes) || failed(errno);
        ok = (::fchmod(fd, mode) == 0 || failed(errno)) && ok;
        ok = (::fsync(fd) == 0 || failed(errno)) && ok;
        ok = (::close(fd) == 0 || failed(errno)) && ok;
        if (ok && (::rename(temp.constData(), target.constData()) == 0 || failed(errno)))
            return true;
        ::unlink(temp.constData());
        return false;
    }

    WriteFailure m_lastFailure = WriteFailure::None;
};

} // namespace

bool FailsEveryFile(WriteFailure failure)
{
    switch (failure) {
    case WriteFailure::NoPermission:
    case WriteFailure::NoDirectory:
    case WriteFailure::ReadOnlyDisk:
    case WriteFailure::DiskFull:
        return true;
    default:
        return false;
    }
}

FileSystem &realFileSystem()
{
    static PosixFileSystem fileSystem;
    return fileSystem;
}

} // namespace pagewick::workflow
