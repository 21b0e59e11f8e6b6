// Saving and chaining against hostile conditions, in the program's real
// window: titles that are only forbidden characters or empty, a save
// directory removed during a run, a read-only target, a full file system,
// and a next link leading back to an earlier page of the chain.
#include "tests/hostile/hostilefixture.h"
#include "tests/support/enginetestutil.h"

#include "browser/webbrowser.h"
#include "workflow/filesystem.h"
#include "workflow/ledger.h"
#include "workflow/localecodec.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <sys/mount.h>
#include <unistd.h>

namespace {

constexpr int kLines = 20;

QString FileOf(const QString &cleanTitle)
{
    return cleanTitle + QStringLiteral(".txt");
}

QByteArray Expected(const QString &cleanTitle)
{
    return pagewick::workflow::encodeForLocale(ExpectedChapterFile(cleanTitle, kLines));
}

// The real file system, failing every write once `failFrom` files have been
// written: a disk that fills up.
class FillingFileSystem : public pagewick::workflow::FileSystem
{
public:
    int failFrom = 1 << 30;
    int writes = 0;

    bool exists(const QString &path) override { return real().exists(path); }
    bool isNormalFile(const QString &path) override { return real().isNormalFile(path); }
    bool createDirectory(const QString &path) override { return real().createDirectory(path); }
    std::optional<QByteArray> readFile(const QString &path) override { return real().readFile(path); }
    bool writeFileReplacing(const QString &path, const QByteArray &bytes) override
    {
        if (writes >= failFrom)
            return false;
        const bool ok = real().writeFileReplacing(path, bytes);
        writes += ok;
        return ok;
    }
    bool appendFile(const QString &path, const QByteArray &bytes) override
    {
        return real().appendFile(path, bytes);
    }

private:
    static pagewick::workflow::FileSystem &real() { return pagewick::workflow::realFileSystem(); }
};

// Three chapters, each linking to the next; the last has no next link.
void ServeThreeChapters(HostileWindow &w, const QString &name)
{
    for (int n = 1; n <= 3; ++n) {
        const QString next = n < 3 ? NextLink(QStringLiteral("/p%1.html").arg(n + 1)) : QString();
        w.server.addPage(QStringLiteral("/p%1.html").arg(n),
                         ChapterPage(QStringLiteral("第%1章 %2_书").arg(n).arg(name), kLines, next));
    }
}

QString Title(int n, const QString &name)
{
    return QStringLiteral("第%1章 %2").arg(n).arg(name);
}

} // namespace

class TstHostileSaves : public QObject
{
    Q_OBJECT

public:
    static void initMain() { pagewick::testsupport::prepareEngine(); }

private slots:
    void titlesOfForbiddenCharactersOrNone_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("cleaned");
        QTest::addColumn<QString>("file");
        QTest::newRow("forbidden only") << QStringLiteral("?*:|\"/<") << QStringLiteral("？×∶│'╱＜")
                                        << QStringLiteral("？×∶│'╱＜.txt");
        // A page left without a title gets a file that file managers show.
        QTest::newRow("cut to nothing by a backslash") << QStringLiteral("a\\") << QString()
                                                       << QStringLiteral("无标题.txt");
        QTest::newRow("empty") << QString() << QString() << QStringLiteral("无标题.txt");
        QTest::newRow("only a separator") << QStringLiteral("_") << QString() << QStringLiteral("无标题.txt");
        QTest::newRow("dots") << QStringLiteral("..") << QStringLiteral("..") << QStringLiteral("...txt");
    }

    void titlesOfForbiddenCharactersOrNone()
    {
        QFETCH(QString, title);
        QFETCH(QString, cleaned);
        QFETCH(QString, file);
        HostileWindow w;
        QVERIFY(w.ready());
        w.server.addPage(QStringLiteral("/t.html"),
                         ChapterPage(title.toHtmlEscaped(), kLines, NextLink(QStringLiteral("/t2.html"))));
        w.server.addPage(QStringLiteral("/t2.html"), ChapterPage(QStringLiteral("第二章 正常_书"), kLines));
        w.setSilentMode(true);
        w.startAt(QStringLiteral("/t.html"));
        QVERIFY(w.waitForNotices(1, 30000));

        const QString second = QStringLiteral("第二章 正常");
        QStringList files{file, FileOf(second)};
        files.sort();
        QCOMPARE(w.savedFiles(), files);
        // An empty cleaned title counts as found in the text: four spaces, no title line.
        const QString crlf = QStringLiteral("\r\n");
        const QString text = cleaned.isEmpty()
            ? QStringLiteral("    ") + crlf + ChapterLines(kLines).join(crlf) + crlf
            : ExpectedChapterFile(cleaned, kLines);
        QCOMPARE(w.savedBytes(file).value_or("<none>"), pagewick::workflow::encodeForLocale(text));
        QCOMPARE(w.savedBytes(FileOf(second)).value_or("<none>"), Expected(second));
    }

    void saveDirectoryRemovedDuringTheChain()
    {
        HostileWindow w;
        QVERIFY(w.ready());
        QTemporaryDir parent;
        const QString dir = parent.path() + QStringLiteral("/书");
        QVERIFY(QDir().mkpath(dir));
        w.window().Txt_dir->setText(dir + QLatin1Char('/'));
        ServeThreeChapters(w, QStringLiteral("消失"));
        // The directory goes once the first chapter is saved.
        bool removed = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &w.window(), [&] {
            if (!removed && QFile::exists(dir + QLatin1Char('/') + FileOf(Title(1, QStringLiteral("消失"))))) {
                removed = QDir(dir).removeRecursively();
            }
        });
        poll.start(1);
        w.setSilentMode(true);
        QString statusAtNotice;
        w.prompt.setWhileOpen([&](const QString &) { statusAtNotice = w.window().Lab_bt->text(); });
        w.startAt(QStringLiteral("/p1.html"));
        QVERIFY(w.waitForNotices(1, 30000));
        QVERIFY(removed);
        // Every later chapter would fail alike: the chain stops at the first that does.
        const QString failed = dir + QLatin1Char('/') + FileOf(Title(2, QStringLiteral("消失")));
        QCOMPARE(statusAtNotice, QStringLiteral("保存失败：") + failed);
        QVERIFY(w.prompt.notices.first().contains(failed));
        QVERIFY(w.prompt.notices.first().contains(QStringLiteral("保存路径不存在")));
        pagewick::testsupport::processEventsFor(500);
        QCOMPARE(w.prompt.notices.size(), 1);
        // Asked for as the second chapter was read, and stopped there.
        QVERIFY(w.server.requestCount(QStringLiteral("/p3.html")) <= 1);
        QVERIFY(!QFileInfo::exists(dir));
    }

    void readOnlyTargetIsLeftAlone()
    {
        HostileWindow w;
        QVERIFY(w.ready());
        ServeThreeChapters(w, QStringLiteral("只读"));
        const QString target = w.saveDirectory() + FileOf(Title(2, QStringLiteral("只读")));
        {
            QFile f(target);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("kept");
        }
        QVERIFY(QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::ReadGroup
                                                  | QFileDevice::ReadOther));
        // The ledger has the file as the second chapter's own: saving it again
        // means replacing it (a file the ledger does not know gets a new name).
        {
            const pagewick::workflow::LedgerEntry own{
                QStringLiteral("2026-12-01T08:00:00+08:00"), w.server.url(QStringLiteral("/p2.html")).toString(),
                Title(2, QStringLiteral("只读")), FileOf(Title(2, QStringLiteral("只读"))), 4, QStringLiteral("saved")};
            QFile ledger(w.saveDirectory() + pagewick::workflow::LedgerFileName());
            QVERIFY(ledger.open(QIODevice::WriteOnly));
            ledger.write(pagewick::workflow::LedgerAppendBytes(pagewick::workflow::LedgerTail::New, own));
        }
        w.setSilentMode(true);
        w.startAt(QStringLiteral("/p1.html"));
        QVERIFY(w.waitForNotices(1, 30000));
        QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner);

        // Refused even when the program runs as the superuser; the chain went on.
        QCOMPARE(w.savedBytes(FileOf(Title(2, QStringLiteral("只读")))).value_or("<none>"), QByteArray("kept"));
        QCOMPARE(w.savedBytes(FileOf(Title(1, QStringLiteral("只读")))).value_or("<none>"),
                 Expected(Title(1, QStringLiteral("只读"))));
        QCOMPARE(w.savedBytes(FileOf(Title(3, QStringLiteral("只读")))).value_or("<none>"),
                 Expected(Title(3, QStringLiteral("只读"))));
        QCOMPARE(w.savedFiles().size(), 3);
        QCOMPARE(w.ledger().at(2).status, QStringLiteral("save-failed"));
    }

    void fullFileSystemThroughTheSeam()
    {
        FillingFileSystem disk;
        disk.failFrom = 1;
        HostileWindow w(&disk);
        QVERIFY(w.ready());
        ServeThreeChapters(w, QStringLiteral("满盘"));
        w.setSilentMode(true);
        QString statusAtNotice;
        w.prompt.setWhileOpen([&](const QString &) { statusAtNotice = w.window().Lab_bt->text(); });
        w.startAt(QStringLiteral("/p1.html"));
        QVERIFY(w.waitForNotices(1, 30000));
        QCOMPARE(statusAtNotice,
                 QStringLiteral("保存失败：") + w.saveDirectory() + FileOf(Title(3, QStringLiteral("满盘"))));
        QCOMPARE(w.savedFiles(), QStringList{FileOf(Title(1, QStringLiteral("满盘")))});
        QCOMPARE(w.savedBytes(FileOf(Title(1, QStringLiteral("满盘")))).value_or("<none>"),
                 Expected(Title(1, QStringLiteral("满盘"))));
    }

    void fullFileSystemForReal()
    {
        if (::geteuid() != 0)
            QSKIP("mounting a small tmpfs needs the superuser");
        QTemporaryDir mountPoint;
        const QByteArray path = QFile::encodeName(mountPoint.path());
        if (::mount("tmpfs", path.constData(), "tmpfs", 0, "size=64k") != 0)
            QSKIP("no tmpfs can be mounted here");
        struct Unmount
        {
            QByteArray path;
            ~Unmount() { ::umount2(path.constData(), MNT_DETACH); }
        } unmount{path};

        HostileWindow w;
        QVERIFY(w.ready());
        w.window().Txt_dir->setText(mountPoint.path() + QLatin1Char('/'));
        // Each chapter file takes a 4 KB block; 16 of them fill 64 KB.
        constexpr int kChapters = 24;
        for (int n = 1; n <= kChapters; ++n) {
            const QString next = n < kChapters ? NextLink(QStringLiteral("/f%1.html").arg(n + 1)) : QString();
            w.server.addPage(QStringLiteral("/f%1.html").arg(n),
                             ChapterPage(QStringLiteral("第%1章 满_书").arg(n), kLines, next));
        }
        w.setSilentMode(true);
        QString statusAtNotice;
        w.prompt.setWhileOpen([&](const QString &) { statusAtNotice = w.window().Lab_bt->text(); });
        w.startAt(QStringLiteral("/f1.html"));
        QVERIFY(w.waitForNotices(1, 90000));

        // Every file that is there is whole: a failed save leaves nothing half-written.
        QStringList files = QDir(mountPoint.path()).entryList(QDir::Files | QDir::Hidden);
        files.removeAll(pagewick::workflow::LedgerFileName());
        qInfo("full file system: %lld of %d chapters saved", qlonglong(files.size()), kChapters);
        QVERIFY(files.size() > 5);
        QVERIFY(files.size() < kChapters);
        // The chain stopped at the first chapter that did not fit. The ledger
        // may fail along with the files, which the status line can add.
        const QString firstFailed = FileOf(QStringLiteral("第%1章 满").arg(files.size() + 1));
        QVERIFY2(statusAtNotice.startsWith(QStringLiteral("保存失败：") + mountPoint.path() + QLatin1Char('/')
                                           + firstFailed),
                 qPrintable(statusAtNotice));
        QVERIFY(w.prompt.notices.first().contains(QStringLiteral("磁盘已满")));
        for (const QString &name : files) {
            QFile f(mountPoint.path() + QLatin1Char('/') + name);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), Expected(name.chopped(4)));
        }
    }

    void linkBackToAnEarlierPageEndsTheChain()
    {
        HostileWindow w;
        QVERIFY(w.ready());
        w.server.addPage(QStringLiteral("/a.html"),
                         ChapterPage(QStringLiteral("第一章 甲_书"), kLines, NextLink(QStringLiteral("/b.html"))));
        w.server.addPage(QStringLiteral("/b.html"),
                         ChapterPage(QStringLiteral("第二章 乙_书"), kLines, NextLink(QStringLiteral("/a.html#top"))));
        w.setSilentMode(true);
        w.startAt(QStringLiteral("/a.html"));
        QVERIFY(w.waitForNotices(1, 30000));
        w.settle(1500);
        QCOMPARE(w.prompt.notices.size(), 1);
        QCOMPARE(w.server.requestCount(QStringLiteral("/a.html")), 1);
        QCOMPARE(w.server.requestCount(QStringLiteral("/b.html")), 1);
        QCOMPARE(w.savedFiles(), (QStringList{FileOf(QStringLiteral("第一章 甲")), FileOf(QStringLiteral("第二章 乙"))}));
        QCOMPARE(w.savedBytes(FileOf(QStringLiteral("第一章 甲"))).value_or("<none>"), Expected(QStringLiteral("第一章 甲")));
        QCOMPARE(w.savedBytes(FileOf(QStringLiteral("第二章 乙"))).value_or("<none>"), Expected(QStringLiteral("第二章 乙")));
    }
};

QTEST_MAIN(TstHostileSaves)
#include "tst_hostilesaves.moc"
