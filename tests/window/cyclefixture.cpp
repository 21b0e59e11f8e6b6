#include "tests/window/cyclefixture.h"

#include "browser/webbrowser.h"
#include "extract/titleclean.h"
#include "window/frmmainseams.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

QString SampleSource(const QString &chapterFile)
{
    QFile file(QStringLiteral(PAGEWICK_SAMPLES_DIR "/book-utf8/") + chapterFile);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

} // namespace

CycleFixture::CycleFixture(pagewick::workflow::FileSystem *fileSystem)
{
    pagewick::window::FrmmainSeams seams;
    seams.programDirectory = m_programDir.path();
    seams.prompt = &prompt;
    seams.fileSystem = fileSystem;
    m_window = std::make_unique<pagewick::window::Frmmain>(seams);
    // Now and then the engine never answers a script sent just as a page
    // commits, and the wait runs to its limit; the pages here answer in
    // milliseconds, so a short limit keeps such a loss from costing the suite
    // half a minute each time.
    m_window->WebBrowser1->setReadTimeout(3000);
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

CycleFixture::~CycleFixture()
{
    if (m_window) {
        m_window->close();
        m_window.reset();
    }
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

QString CycleFixture::saveDirectory() const
{
    return m_window->Txt_dir->text();
}

QStringList CycleFixture::savedFiles() const
{
    QStringList names;
    const QByteArray dir = m_programDir.path().toUtf8();
    if (DIR *d = ::opendir(dir.constData())) {
        while (dirent *e = ::readdir(d)) {
            const QByteArray name(e->d_name);
            if (name != "." && name != ".." && e->d_type == DT_REG)
                names << QString::fromUtf8(name);
        }
        ::closedir(d);
    }
    names.sort();
    return names;
}

QByteArray CycleFixture::savedBytes(const QByteArray &rawName) const
{
    const QByteArray path = m_programDir.path().toUtf8() + '/' + rawName;
    const int fd = ::open(path.constData(), O_RDONLY);
    if (fd < 0)
        return QByteArrayLiteral("<no such file>");
    QByteArray data;
    char buffer[65536];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
        data.append(buffer, int(n));
    ::close(fd);
    return data;
}

void CycleFixture::serveSampleBook()
{
    server.serveDirectory(QStringLiteral("/book/"), QStringLiteral(PAGEWICK_SAMPLES_DIR "/book-utf8"));
}

void CycleFixture::startAt(const QString &path)
{
    m_window->Combo1->setEditText(server.url(path).toString());
    m_window->Cmd_goto->click();
}

bool CycleFixture::waitForChainEnd(int notices, int timeoutMs)
{
    return QTest::qWaitFor([&] { return prompt.notices.size() >= notices; }, timeoutMs);
}

void CycleFixture::setSilentMode(bool on)
{
    m_window->Check1[1]->setChecked(on);
}

QString ChapterTitle(const QString &chapterFile)
{
    const QRegularExpression title(QStringLiteral("<title>(.*?)</title>"));
    return pagewick::extract::CleanPageTitle(title.match(SampleSource(chapterFile)).captured(1));
}

QString ExpectedChapterText(const QString &chapterFile)
{
    const QString source = SampleSource(chapterFile);
    const QRegularExpression block(QStringLiteral("<div id=\"content\">(.*?)</div>"),
                                   QRegularExpression::DotMatchesEverythingOption);
    const QString content = block.match(source).captured(1);
    QStringList paragraphs;
    const QRegularExpression paragraph(QStringLiteral("<p>(.*?)</p>"));
    for (auto it = paragraph.globalMatch(content); it.hasNext();)
        paragraphs << it.next().captured(1);
    const QString crlf = QStringLiteral("\r\n");
    return ChapterTitle(chapterFile) + crlf + crlf + paragraphs.join(crlf + crlf) + crlf;
}

QStringList SampleChapters()
{
    return {QStringLiteral("ch01.htm"), QStringLiteral("ch02.htm"), QStringLiteral("ch03.htm"),
            QStringLiteral("ch04.htm"), QStringLiteral("ch05.htm")};
}

QByteArray ProsePage(const QString &title, const QString &extraBody, const QString &sentence)
{
    const QString s = sentence.isEmpty() ? QStringLiteral("风从河面上吹过来，带着一点潮湿的凉意。")
                                         : sentence;
    QString prose;
    for (int i = 0; i < 8; ++i)
        prose += QStringLiteral("<p>") + s + QStringLiteral("</p>");
    return (QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>") + title
            + QStringLiteral("</title></head><body><div id=\"content\">") + prose
            + QStringLiteral("</div>") + extraBody + QStringLiteral("</body></html>"))
        .toUtf8();
}
