#pragma once

#include "workflow/filesystem.h"
#include "workflow/ledger.h"

#include <functional>

namespace pagewick::cli {

// The file system of a run without a window: the one it is given, with two
// additions. Each ledger line appended is handed on (the progress lines),
// and once the run is stopping nothing more is written, so that a page
// either has its file and its ledger line or neither.
class RunFileSystem : public workflow::FileSystem
{
public:
    RunFileSystem(workflow::FileSystem &inner, std::function<void(const workflow::LedgerEntry &)> ledgerLine);

    void stopWriting() { m_stopped = true; }

    bool exists(const QString &path) override { return m_inner.exists(path); }
    bool isNormalFile(const QString &path) override { return m_inner.isNormalFile(path); }
    bool createDirectory(const QString &path) override;
    std::optional<QByteArray> readFile(const QString &path) override { return m_inner.readFile(path); }
    bool writeFileReplacing(const QString &path, const QByteArray &bytes) override;
    bool appendFile(const QString &path, const QByteArray &bytes) override;

private:
    workflow::FileSystem &m_inner;
    std::function<void(const workflow::LedgerEntry &)> m_ledgerLine;
    bool m_stopped = false;
};

} // namespace pagewick::cli
