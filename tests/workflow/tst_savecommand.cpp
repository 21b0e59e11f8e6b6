#include "fakefilesystem.h"
#include "localescope.h"

#include "workflow/filesystem.h"
#include "workflow/savecommand.h"

#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <unistd.h>

using pagewick::workflow::SaveCommand;
using pagewick::workflow::SaveOutcome;
using pagewick::workflow::SaveStatus;

namespace {

const QString kText = QStringLiteral("第一章\r\n    天色已晚。\r\nA\u20AC\U0001F600\r\n");

// The GBK bytes of kText: the euro sign is in GBK (0x80), the emoji is not.
const QByteArray kTextGbk =
    QByteArray::fromHex("b5dad2bbd5c20d0a20202020ccecc9abd2d1cdeda1a30d0a41803f0d0a");

QByteArray ReadRaw(const QByteArray &path)
{
    const int fd = ::open(path.constData(), O_RDONLY);
    if (fd < 0)
        return QByteArray("<missing>");
    QByteArray data(4096, '\0');
    const ssize_t n = ::read(fd, data.data(), size_t(data.size()));
    ::close(fd);
    data.resize(n < 0 ? 0 : int(n));
    return data;
}

} // namespace

class TstSaveCommand : public QObject
{
    Q_OBJECT

private slots:
    void path_data()
    {
        QTest::addColumn<QString>("directory");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("expected");
        QTest::newRow("directory, title, .txt") << "/书库/" << "第一章" << "/书库/第一章.txt";
        QTest::newRow("empty title") << "/书库/" << "" << "/书库/.txt";
        QTest::newRow("nothing in between") << "/书库" << "第一章" << "/书库第一章.txt";
        QTest::newRow("spaces kept") << "/d/" << " 第一章 " << "/d/ 第一章 .txt";
    }
    void path()
    {
        QFETCH(QString, directory);
        QFETCH(QString, title);
        QFETCH(QString, expected);
        FakeFileSystem fs;
        SaveCommand command;

        const SaveOutcome outcome = command.save(fs, directory, title, QStringLiteral("http://h/1"),
                                                 QStringLiteral("x"));

        QCOMPARE(outcome.path, expected);
        QCOMPARE(fs.writes, QStringList{expected});
        QVERIFY(outcome.written);
    }

    void contentBytes_data()
    {
        QTest::addColumn<QByteArray>("locale");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("C writes UTF-8") << QByteArray("C") << kText.toUtf8();
        QTest::newRow("zh_CN.UTF-8") << QByteArray("zh_CN.UTF-8") << kText.toUtf8();
        QTest::newRow("zh_CN.GBK") << QByteArray("zh_CN.GBK") << kTextGbk;
    }
    void contentBytes()
    {
        QFETCH(QByteArray, locale);
        QFETCH(QByteArray, expected);
        LocaleScope scope(locale);
        QVERIFY2(scope.ok(), "locale missing: run scripts/test-locales.sh");
        FakeFileSystem fs;
        SaveCommand command;

        command.save(fs, QStringLiteral("/d/"), QStringLiteral("t"), QStringLiteral("http://h/"), kText);

        QCOMPARE(fs.files.value(QStringLiteral("/d/t.txt")), expected);
    }

    void fileNameOnDisk_data()
    {
        QTest::addColumn<QByteArray>("locale");
        QTest::addColumn<QByteArray>("nameBytes");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("zh_CN.GBK") << QByteArray("zh_CN.GBK") << QByteArray::fromHex("b5dad2bbd5c22e747874")
                                   << QByteArray::fromHex("bcd70d0a");
        QTest::newRow("zh_CN.UTF-8") << QByteArray("zh_CN.UTF-8") << QStringLiteral("第一章.txt").toUtf8()
                                     << QStringLiteral("甲\r\n").toUtf8();
        QTest::newRow("C") << QByteArray("C") << QStringLiteral("第一章.txt").toUtf8()
                           << QStringLiteral("甲\r\n").toUtf8();
    }
    void fileNameOnDisk()
    {
        QFETCH(QByteArray, locale);
        QFETCH(QByteArray, nameBytes);
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        LocaleScope scope(locale);
        QVERIFY2(scope.ok(), "locale missing: run scripts/test-locales.sh");
        SaveCommand command;

        const SaveOutcome outcome =
            command.save(pagewick::workflow::realFileSystem(), dir.path() + QLatin1Char('/'),
                         QStringLiteral("第一章"), QStringLiteral("http://h/1"), QStringLiteral("甲\r\n"));

        QVERIFY(outcome.written);
        const QByteArray onDisk = dir.path().toUtf8() + '/' + nameBytes;
        const QByteArray saved = ReadRaw(onDisk);
        // Qt names files in UTF-8 and could not remove a GBK name.
        ::unlink(onDisk.constData());
        QCOMPARE(saved, content);
    }

    // Each row: saves in order as "title@address", and the file each gets.
    void uniqueNames_data()
    {
        QTest::addColumn<QStringList>("saves");
        QTest::addColumn<QStringList>("files");
        QTest::newRow("one title, two pages")
            << QStringList{"卷@http://h/1", "卷@http://h/2"}
            << QStringList{"/d/卷.txt", "/d/卷(2).txt"};
        QTest::newRow("one page saved twice")
            << QStringList{"卷@http://h/1", "卷@http://h/1"}
            << QStringList{"/d/卷.txt", "/d/卷.txt"};
        QTest::newRow("fragment is the same page")
            << QStringList{"卷@http://h/1#top", "卷@http://h/1"}
            << QStringList{"/d/卷.txt", "/d/卷.txt"};
        QTest::newRow("three pages, then the second again")
            << QStringList{"卷@http://h/1", "卷@http://h/2", "卷@http://h/3", "卷@http://h/2"}
            << QStringList{"/d/卷.txt", "/d/卷(2).txt", "/d/卷(3).txt", "/d/卷(2).txt"};
        QTest::newRow("different titles do not collide")
            << QStringList{"甲@http://h/1", "乙@http://h/2"}
            << QStringList{"/d/甲.txt", "/d/乙.txt"};
        QTest::newRow("a numbered name taken by its own title")
            << QStringList{"卷(2)@http://h/9", "卷@http://h/1", "卷@http://h/2"}
            << QStringList{"/d/卷(2).txt", "/d/卷.txt", "/d/卷(3).txt"};
    }
    void uniqueNames()
    {
        QFETCH(QStringList, saves);
        QFETCH(QStringList, files);
        FakeFileSystem fs;
        SaveCommand command;

        QStringList paths;
        for (const QString &save : saves) {
            const QStringList parts = save.split(QLatin1Char('@'));
            paths << command.save(fs, QStringLiteral("/d/"), parts.at(0), parts.at(1), save).path;
        }

        QCOMPARE(paths, files);
    }

    void namesWrittenAlikeCollide()
    {
        LocaleScope scope("zh_CN.GBK");
        QVERIFY2(scope.ok(), "locale missing: run scripts/test-locales.sh");
        FakeFileSystem fs;
        SaveCommand command;

        // Neither emoji is in GBK: both titles become "卷?" on the disk.
        command.save(fs, QStringLiteral("/d/"), QStringLiteral("卷\U0001F600"), QStringLiteral("http://h/1"), {});
        const SaveOutcome second = command.save(fs, QStringLiteral("/d/"), QStringLiteral("卷\U0001F389"),
                                                QStringLiteral("http://h/2"), {});

        QCOMPARE(second.path, QStringLiteral("/d/卷\U0001F389(2).txt"));
    }

    void failedWriteIsReportedAndNotRemembered()
    {
        FakeFileSystem fs;
        SaveCommand command;
        fs.failWrites = true;

        const SaveOutcome failed = command.save(fs, QStringLiteral("/d/"), QStringLiteral("卷"),
                                                QStringLiteral("http://h/1"), {});
        fs.failWrites = false;
        const SaveOutcome next = command.save(fs, QStringLiteral("/d/"), QStringLiteral("卷"),
                                              QStringLiteral("http://h/2"), {});

        QVERIFY(!failed.written);
        QCOMPARE(SaveStatus(failed), QStringLiteral("保存失败：/d/卷.txt"));
        QCOMPARE(next.path, QStringLiteral("/d/卷.txt"));
        QCOMPARE(SaveStatus(next), QStringLiteral("已保存：/d/卷.txt"));
    }

    void realFailuresKeepTheEarlierFile()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        auto &fs = pagewick::workflow::realFileSystem();
        SaveCommand command;
        const QString directory = dir.path() + QLatin1Char('/');
        QVERIFY(command.save(fs, directory, QStringLiteral("卷"), QStringLiteral("http://h/1"),
                             QStringLiteral("good")).written);
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);

        const SaveOutcome again = command.save(fs, directory, QStringLiteral("卷"),
                                               QStringLiteral("http://h/1"), QStringLiteral("newer"));
        const SaveOutcome missing = command.save(fs, directory + QStringLiteral("gone/"),
                                                 QStringLiteral("卷"), QStringLiteral("http://h/1"), {});
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                              | QFileDevice::ExeOwner);

        // As root the directory stays writable; the missing directory fails either way.
        if (::geteuid() != 0) {
            QVERIFY(!again.written);
            QCOMPARE(ReadRaw((directory + QStringLiteral("卷.txt")).toUtf8()), QByteArray("good"));
        }
        QVERIFY(!missing.written);
        QCOMPARE(SaveStatus(missing), QStringLiteral("保存失败：") + directory + QStringLiteral("gone/卷.txt"));
    }
};

QTEST_GUILESS_MAIN(TstSaveCommand)
#include "tst_savecommand.moc"
