#include "tests/support/windowfixture.h"

#include "browser/webbrowser.h"
#include "tests/support/enginetestutil.h"
#include "window/frmmainseams.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace pagewick::testsupport {

WindowFixture::WindowFixture(workflow::FileSystem *fileSystem, int readTimeoutMs,
                             const workflow::ChainTiming *chainTiming)
    : m_fileSystem(fileSystem)
    , m_readTimeoutMs(readTimeoutMs)
    , m_chainTiming(chainTiming)
{
    openWindow();
}

bool WindowFixture::reopenWindow()
{
    destroyWindow();
    openWindow();
    return m_ready;
}

void WindowFixture::openWindow()
{
    window::FrmmainSeams seams;
    seams.programDirectory = m_programDir.path();
    seams.prompt = &prompt;
    seams.fileSystem = m_fileSystem;
    seams.chainTiming = m_chainTiming;
    m_window = std::make_unique<window::Frmmain>(seams);
    m_window->WebBrowser1->setReadTimeout(m_readTimeoutMs);
    QSignalSpy completions(m_window->WebBrowser1, &browser::WebBrowser::DocumentComplete);
    m_window->show();
    m_ready = waitUntil(
        [&] {
            return !completions.isEmpty() && m_window->WebBrowser1->ReadyState() == 4
                && m_window->WebBrowser1->LocationURL() == QLatin1String("about:blank");
        },
        30000);
}

WindowFixture::~WindowFixture()
{
    destroyWindow();
    // Names in another character set than UTF-8 are out of Qt's reach.
    const QByteArray dir = m_programDir.path().toUtf8();
    if (DIR *d = ::opendir(dir.constData())) {
        while (dirent *e = ::readdir(d)) {
            const QByteArray name(e->d_name);
            if (name != "." && name != "..")
                ::unlink((dir + '/' + name).constData());
        }
        ::closedir(d);
    }
}

void WindowFixture::destroyWindow()
{
    if (!m_window)
        return;
    m_window->close();
    m_window.reset();
}

QString WindowFixture::saveDirectory() const
{
    return m_window->Txt_dir->text();
}

QStringList WindowFixture::savedFiles() const
{
    QStringList names;
    const QByteArray dir = m_programDir.path().toUtf8();
    if (DIR *d = ::opendir(dir.constData())) {
        while (dirent *e = ::readdir(d)) {
            const QByteArray name(e->d_name);
            if (name != "." && name != ".." && (e->d_type == DT_REG || e->d_type == DT_UNKNOWN)
                && QString::fromUtf8(name) != workflow::LedgerFileName())
                names << QString::fromUtf8(name);
        }
        ::closedir(d);
    }
    names.sort();
    return names;
}

QList<workflow::LedgerEntry> WindowFixture::ledger() const
{
    return workflow::ParseLedger(savedBytes(workflow::LedgerFileName()).value_or(QByteArray()));
}

std::optional<QByteArray> WindowFixture::savedBytes(const QByteArray &rawName) const
{
    const QByteArray path = m_programDir.path().toUtf8() + '/' + rawName;
    const int fd = ::open(path.constData(), O_RDONLY);
    if (fd < 0)
        return std::nullopt;
    QByteArray data;
    char buffer[65536];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
        data.append(buffer, int(n));
    ::close(fd);
    if (n < 0)
        return std::nullopt;
    return data;
}

void WindowFixture::setSilentMode(bool on)
{
    m_window->Check1[1]->setChecked(on);
}

void WindowFixture::startAt(const QString &path)
{
    startAtUrl(server.url(path).toString());
}

void WindowFixture::startAtUrl(const QString &url)
{
    m_window->Combo1->setEditText(url);
    m_window->Cmd_goto->click();
}

bool WindowFixture::waitForNotices(int count, int timeoutMs)
{
    return waitUntil([&] { return prompt.notices.size() >= count; }, timeoutMs);
}

void WindowFixture::settle(int ms)
{
    processEventsFor(ms);
}

} // namespace pagewick::testsupport
