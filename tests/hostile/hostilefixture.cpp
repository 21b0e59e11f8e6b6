#include "tests/hostile/hostilefixture.h"

#include "browser/webbrowser.h"
#include "window/frmmainseams.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

HostileWindow::HostileWindow(pagewick::workflow::FileSystem *fileSystem)
{
    pagewick::window::FrmmainSeams seams;
    seams.programDirectory = m_dir.path();
    seams.prompt = &prompt;
    seams.fileSystem = fileSystem;
    m_window = std::make_unique<pagewick::window::Frmmain>(seams);
    m_window->resize(1000, 720);
    // Hostile pages can keep the renderer from answering (a modal prompt) or
    // make it lose an answer (a restarted render process); a short limit
    // keeps each such read to seconds.
    m_window->WebBrowser1->setReadTimeout(kHostileReadTimeoutMs);
    // The blank start page has loaded and its completion has been handled.
    QSignalSpy completions(m_window->WebBrowser1, &pagewick::browser::WebBrowser::DocumentComplete);
    m_window->show();
    m_ready = QTest::qWaitFor(
        [&] {
            return !completions.isEmpty() && m_window->WebBrowser1->ReadyState() == 4
                && m_window->WebBrowser1->LocationURL() == QLatin1String("about:blank");
        },
        30000);
}

HostileWindow::~HostileWindow()
{
    destroyWindow();
}

void HostileWindow::destroyWindow()
{
    if (!m_window)
        return;
    m_window->close();
    m_window.reset();
}

QString HostileWindow::saveDirectory() const
{
    return m_window->Txt_dir->text();
}

QStringList HostileWindow::savedFiles() const
{
    QStringList names = QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden);
    names.sort();
    return names;
}

std::optional<QByteArray> HostileWindow::savedBytes(const QString &name) const
{
    QFile file(m_dir.path() + QLatin1Char('/') + name);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

void HostileWindow::setSilentMode(bool on)
{
    m_window->Check1[1]->setChecked(on);
}

void HostileWindow::startAt(const QString &path)
{
    startAtUrl(server.url(path).toString());
}

void HostileWindow::startAtUrl(const QString &url)
{
    m_window->Combo1->setEditText(url);
    m_window->Cmd_goto->click();
}

bool HostileWindow::waitForNotices(int count, int timeoutMs)
{
    return QTest::qWaitFor([&] { return prompt.notices.size() >= count; }, timeoutMs);
}

void HostileWindow::settle(int ms)
{
    QTest::qWait(ms);
}

QStringList ChapterLines(int lines)
{
    // No "第" or "章": a chapter title never occurs in its own text.
    static const QString pool =
        QStringLiteral("天地玄黄宇宙洪荒日月盈昃辰宿列张寒来暑往秋收冬藏他说道我们走吧风起云涌");
    QStringList out;
    unsigned state = 7;
    for (int l = 0; l < lines; ++l) {
        QString line;
        for (int k = 0; k < 30; ++k) {
            state = state * 1664525u + 1013904223u;
            line += pool.at(int((state >> 8) % unsigned(pool.size())));
            if (k % 10 == 9 && k < 29)
                line += QChar(0xFF0C);
        }
        line += QChar(0x3002);
        out << line;
    }
    return out;
}

QByteArray ChapterPage(const QString &title, int lines, const QString &extraBody)
{
    return (QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>") + title
            + QStringLiteral("</title></head><body><div id=\"content\">")
            + ChapterLines(lines).join(QStringLiteral("<br>")) + QStringLiteral("</div>")
            + extraBody + QStringLiteral("</body></html>"))
        .toUtf8();
}

QString ExpectedChapterFile(const QString &cleanTitle, int lines)
{
    const QString crlf = QStringLiteral("\r\n");
    return cleanTitle + crlf + crlf + ChapterLines(lines).join(crlf) + crlf;
}

QString NextLink(const QString &href)
{
    return QStringLiteral("<a href=\"%1\">下一页</a>").arg(href);
}
