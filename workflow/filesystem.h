#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace pagewick::workflow {

// Why a file could not be written. The ones up to DiskFull concern the whole
// directory and do not pass by themselves: every later file fails alike.
enum class WriteFailure {
    None,
    NoPermission,
    NoDirectory,
    ReadOnlyDisk,
    DiskFull,
    // The file itself refuses (read-only, not a regular file): other names may still work.
    FileRefused,
    Other,
};

// The program's only access to the file system, so that tests can inspect or
// fail it. Paths are text; the real implementation encodes them in the
// locale's character set, as the saved files are encoded.
class FileSystem
{
public:
    virtual ~FileSystem() = default;

    // A file or a directory of that name exists.
    virtual bool exists(const QString &path) = 0;
    // A regular, non-hidden file (a start-address list must be one).
    virtual bool isNormalFile(const QString &path) = 0;
    // Creates the last level only; fails when the parent is missing.
    virtual bool createDirectory(const QString &path) = 0;
    virtual std::optional<QByteArray> readFile(const QString &path) = 0;
    // Replaces the file as a whole or not at all: an earlier file of that name
    // is never left truncated. Refuses read-only targets and directories.
    virtual bool writeFileReplacing(const QString &path, const QByteArray &bytes) = 0;
    // Adds the bytes at the end of the file, creating it when missing, and
    // hands them to the system before returning: a crash of the program
    // afterwards loses none of them. False when not all of them were written.
    virtual bool appendFile(const QString &path, const QByteArray &bytes) = 0;
    // Why the last writeFileReplacing that failed did so.
    virtual WriteFailure lastWriteFailure() { return WriteFailure::Other; }
    // New files can be made in the directory (by this user; the superuser
    // only fails on a read-only disk).
    virtual bool canWriteIn(const QString &) { return true; }
};

// Whether every later file in the same directory would fail as well.
bool FailsEveryFile(WriteFailure failure);

// The real file system. Lives as long as the program.
FileSystem &realFileSystem();

} // namespace pagewick::workflow
