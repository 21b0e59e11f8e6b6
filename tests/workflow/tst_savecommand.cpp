#include "fakefilesystem.h"
#include "localescope.h"

#include "text/textops.h"

#include "workflow/chapterfilename.h"
#include "workflow/filesystem.h"
#include "workflow/localecodec.h"
#include "workflow/ledger.h"
#include "workflow/savecommand.h"
#include "workflow/savedirectory.h"

#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <unistd.h>

using pagewick::workflow::LedgerEntry;
using pagewick::workflow::LedgerWrite;
using pagewick::workflow::ParseLedger;
using pagewick::workflow::SaveCommand;
using pagewick::workflow::SaveOutcome;
using pagewick::workflow::SaveStatus;

namespace {

const QDateTime kWhen(QDate(2026, 12, 8), QTime(13, 5, 9), Qt::OffsetFromUTC, 8 * 3600);

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

const QString kLedger = QStringLiteral("/d/pagewick-log.tsv");

// "file@address" or "file@address@status" per line.
QByteArray LedgerOf(const QStringList &lines)
{
    QByteArray ledger("time\taddress\ttitle\tfile\tchars\tstatus\n");
    for (const QString &line : lines) {
        const QStringList f = line.split(QLatin1Char('@'));
        ledger += pagewick::workflow::LedgerLine(
            LedgerEntry{QStringLiteral("2026-12-01T08:00:00+08:00"), f.at(1), QStringLiteral("卷"), f.at(0), 5,
                        f.value(2, QStringLiteral("saved"))});
    }
    return ledger;
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
        QTest::newRow("empty title gets a visible name") << "/书库/" << "" << "/书库/无标题.txt";
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
                                                 QStringLiteral("x"), kWhen);

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

        command.save(fs, QStringLiteral("/d/"), QStringLiteral("t"), QStringLiteral("http://h/"), kText, kWhen);

        QCOMPARE(fs.files.value(QStringLiteral("/d/t.txt")), expected);
    }

    // Space characters the set cannot hold are written as spaces; any other
    // character it cannot hold as "?".
    void spacesInTheLocale_data()
    {
        QTest::addColumn<QByteArray>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("expected");
        const QString indent = QStringLiteral("\u00A0\u00A0\u00A0\u00A0甲");
        QTest::newRow("GBK: &nbsp; indent") << QByteArray("zh_CN.GBK") << indent << QByteArray("    \xbc\xd7");
        QTest::newRow("GBK: en space to hair space")
            << QByteArray("zh_CN.GBK") << QStringLiteral("\u2002\u2003\u2004\u2005\u2006\u2007\u2008\u2009\u200A|")
            << QByteArray("         |");
        QTest::newRow("GBK: narrow and math spaces") << QByteArray("zh_CN.GBK")
                                                    << QStringLiteral("a\u202Fb\u205Fc") << QByteArray("a b c");
        QTest::newRow("GBK: ideographic space is GBK's own")
            << QByteArray("zh_CN.GBK") << QStringLiteral("\u3000甲") << QByteArray("\xa1\xa1\xbc\xd7");
        QTest::newRow("GBK: neighbours of the spaces stay \"?\"")
            << QByteArray("zh_CN.GBK") << QStringLiteral("\u2000\u2001\u200B\u00A1\U0001F600")
            << QByteArray("?????");
        QTest::newRow("UTF-8 keeps them") << QByteArray("zh_CN.UTF-8") << indent << indent.toUtf8();
        QTest::newRow("C keeps them") << QByteArray("C") << indent << indent.toUtf8();
    }
    void spacesInTheLocale()
    {
        QFETCH(QByteArray, locale);
        QFETCH(QString, text);
        QFETCH(QByteArray, expected);
        LocaleScope scope(locale);
        QVERIFY2(scope.ok(), "locale missing: run scripts/test-locales.sh");
        FakeFileSystem fs;
        SaveCommand command;

        command.save(fs, QStringLiteral("/d/"), QStringLiteral("t"), QStringLiteral("http://h/"), text, kWhen);

        QCOMPARE(fs.files.value(QStringLiteral("/d/t.txt")), expected);
    }

    void fileNameOnDisk_data()
    {
        QTest::addColumn<QByteArray>("locale");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QByteArray>("nameBytes");
        QTest::addColumn<QByteArray>("content");
        const QString title = QStringLiteral("第一章");
        QTest::newRow("zh_CN.GBK") << QByteArray("zh_CN.GBK") << title << QByteArray::fromHex("b5dad2bbd5c22e747874")
                                   << QByteArray::fromHex("bcd70d0a");
        QTest::newRow("zh_CN.GBK, title with &nbsp;")
            << QByteArray("zh_CN.GBK") << QStringLiteral("第一章\u00A0开端")
            << QByteArray::fromHex("b5dad2bbd5c220bfaab6cb2e747874") << QByteArray::fromHex("bcd70d0a");
        QTest::newRow("zh_CN.UTF-8") << QByteArray("zh_CN.UTF-8") << title << QStringLiteral("第一章.txt").toUtf8()
                                     << QStringLiteral("甲\r\n").toUtf8();
        QTest::newRow("C") << QByteArray("C") << title << QStringLiteral("第一章.txt").toUtf8()
                           << QStringLiteral("甲\r\n").toUtf8();
        // 100 characters of 3 bytes each are more than one name may hold.
        QTest::newRow("zh_CN.UTF-8, long title") << QByteArray("zh_CN.UTF-8") << QString(100, QChar(0x7AE0))
                                                 << (QString(83, QChar(0x7AE0)) + ".txt").toUtf8()
                                                 << QStringLiteral("甲\r\n").toUtf8();
    }
    void fileNameOnDisk()
    {
        QFETCH(QByteArray, locale);
        QFETCH(QString, title);
        QFETCH(QByteArray, nameBytes);
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        LocaleScope scope(locale);
        QVERIFY2(scope.ok(), "locale missing: run scripts/test-locales.sh");
        SaveCommand command;

        const SaveOutcome outcome =
            command.save(pagewick::workflow::realFileSystem(), dir.path() + QLatin1Char('/'),
                         title, QStringLiteral("http://h/1"), QStringLiteral("甲\r\n"), kWhen);

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
        QTest::newRow("pages without a title")
            << QStringList{"@http://h/1", "@http://h/2", "@http://h/1"}
            << QStringList{"/d/无标题.txt", "/d/无标题(2).txt", "/d/无标题.txt"};
        // Cut to one name, the two long titles still get a file each.
        const QString a = QString(90, QChar(0x7AE0)) + "甲";
        const QString b = QString(90, QChar(0x7AE0)) + "乙";
        QTest::newRow("long titles alike at the start")
            << QStringList{a + "@http://h/1", b + "@http://h/2"}
            << QStringList{"/d/" + QString(83, QChar(0x7AE0)) + ".txt", "/d/" + QString(82, QChar(0x7AE0)) + "(2).txt"};
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
            paths << command.save(fs, QStringLiteral("/d/"), parts.at(0), parts.at(1), save, kWhen).path;
        }

        QCOMPARE(paths, files);
    }

    void chapterFileName_data()
    {
        QTest::addColumn<QByteArray>("locale");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("expected");
        const QChar zhang(0x7AE0); // 3 bytes in UTF-8, 2 in GBK
        const QString grin = QStringLiteral("\U0001F600"); // 4 bytes in UTF-8, "?" in GBK
        const QString accented = QStringLiteral("e\u0301"); // 3 bytes in UTF-8, one character to a reader
        QTest::newRow("short") << QByteArray("zh_CN.UTF-8") << QStringLiteral("第一章") << 1 << "第一章.txt";
        QTest::newRow("short, numbered") << QByteArray("zh_CN.UTF-8") << QStringLiteral("第一章") << 12
                                         << "第一章(12).txt";
        QTest::newRow("empty") << QByteArray("C") << QString() << 1 << "无标题.txt";
        QTest::newRow("empty, numbered") << QByteArray("C") << QString() << 3 << "无标题(3).txt";
        QTest::newRow("exactly 255 bytes") << QByteArray("zh_CN.UTF-8") << "ab" + QString(83, zhang) << 1
                                           << "ab" + QString(83, zhang) + ".txt";
        QTest::newRow("one byte over") << QByteArray("zh_CN.UTF-8") << "abc" + QString(83, zhang) << 1
                                       << "abc" + QString(82, zhang) + ".txt";
        QTest::newRow("UTF-8: 100 Chinese") << QByteArray("zh_CN.UTF-8") << QString(100, zhang) << 1
                                            << QString(83, zhang) + ".txt";
        QTest::newRow("UTF-8: numbering kept") << QByteArray("zh_CN.UTF-8") << QString(100, zhang) << 2
                                               << QString(82, zhang) + "(2).txt";
        QTest::newRow("C writes UTF-8 too") << QByteArray("C") << QString(100, zhang) << 1
                                            << QString(83, zhang) + ".txt";
        QTest::newRow("GBK: 100 Chinese fit") << QByteArray("zh_CN.GBK") << QString(100, zhang) << 1
                                              << QString(100, zhang) + ".txt";
        QTest::newRow("GBK: 200 Chinese") << QByteArray("zh_CN.GBK") << QString(200, zhang) << 10
                                          << QString(123, zhang) + "(10).txt";
        QTest::newRow("UTF-8: no pair split") << QByteArray("zh_CN.UTF-8") << "a" + grin.repeated(70) << 1
                                              << "a" + grin.repeated(62) + ".txt";
        QTest::newRow("GBK: emoji count one byte") << QByteArray("zh_CN.GBK") << grin.repeated(300) << 1
                                                   << grin.repeated(251) + ".txt";
        QTest::newRow("accent stays with its letter") << QByteArray("zh_CN.UTF-8") << accented.repeated(100) << 1
                                                      << accented.repeated(83) + ".txt";
        QTest::newRow("one character longer than a name")
            << QByteArray("zh_CN.UTF-8") << "e" + QString(200, QChar(0x0301)) << 1
            << "e" + QString(125, QChar(0x0301)) + ".txt";
    }
    void chapterFileName()
    {
        QFETCH(QByteArray, locale);
        QFETCH(QString, title);
        QFETCH(int, number);
        QFETCH(QString, expected);
        LocaleScope scope(locale);
        QVERIFY2(scope.ok(), "locale missing: run scripts/test-locales.sh");

        const QString name = pagewick::workflow::ChapterFileName(title, number);

        QCOMPARE(name, expected);
        QVERIFY(pagewick::workflow::encodeForLocale(name).size() <= 255);
    }

    // What an earlier run left: its ledger and the files on the disk.
    void namesAgainstLedgerAndDisk_data()
    {
        QTest::addColumn<QStringList>("ledger");
        QTest::addColumn<QStringList>("disk");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("file");
        QTest::newRow("another address's file")
            << QStringList{"卷.txt@http://h/1"} << QStringList{"卷.txt"} << "http://h/2" << "卷(2).txt";
        QTest::newRow("its own file") << QStringList{"卷.txt@http://h/1"} << QStringList{"卷.txt"}
                                      << "http://h/1" << "卷.txt";
        QTest::newRow("its own file, by another fragment")
            << QStringList{"卷.txt@http://h/1#top"} << QStringList{"卷.txt"} << "http://h/1" << "卷.txt";
        QTest::newRow("a file the ledger does not know")
            << QStringList{} << QStringList{"卷.txt"} << "http://h/1" << "卷(2).txt";
        QTest::newRow("a file deleted since is free again")
            << QStringList{"卷.txt@http://h/1"} << QStringList{} << "http://h/2" << "卷.txt";
        QTest::newRow("its own numbered file")
            << QStringList{"卷.txt@http://h/1", "卷(2).txt@http://h/2", "卷(3).txt@http://h/3"}
            << QStringList{"卷.txt", "卷(2).txt", "卷(3).txt"} << "http://h/2" << "卷(2).txt";
        QTest::newRow("its own numbered file, a lower number free again")
            << QStringList{"卷.txt@http://h/1", "卷(2).txt@http://h/2"} << QStringList{"卷(2).txt"}
            << "http://h/2" << "卷(2).txt";
        QTest::newRow("numbers taken by others and by unknown files")
            << QStringList{"卷.txt@http://h/1", "卷(3).txt@http://h/3"}
            << QStringList{"卷.txt", "卷(2).txt", "卷(3).txt"} << "http://h/4" << "卷(4).txt";
        QTest::newRow("a failed save owns nothing")
            << QStringList{"卷.txt@http://h/1@save-failed"} << QStringList{"卷.txt"} << "http://h/1" << "卷(2).txt";
        QTest::newRow("the latest line owns the file")
            << QStringList{"卷.txt@http://h/1", "卷.txt@http://h/3"} << QStringList{"卷.txt"} << "http://h/1"
            << "卷(2).txt";
        QTest::newRow("another title's file") << QStringList{"卷二.txt@http://h/1"} << QStringList{"卷二.txt"}
                                              << "http://h/1" << "卷.txt";
    }
    void namesAgainstLedgerAndDisk()
    {
        QFETCH(QStringList, ledger);
        QFETCH(QStringList, disk);
        QFETCH(QString, address);
        QFETCH(QString, file);
        FakeFileSystem fs;
        if (!ledger.isEmpty())
            fs.files.insert(kLedger, LedgerOf(ledger));
        for (const QString &name : disk)
            fs.files.insert(QStringLiteral("/d/") + name, "earlier");
        SaveCommand command;

        const SaveOutcome outcome =
            command.save(fs, QStringLiteral("/d/"), QStringLiteral("卷"), address, QStringLiteral("新"), kWhen);

        QCOMPARE(outcome.path, QStringLiteral("/d/") + file);
        // No other file was touched.
        for (const QString &name : disk) {
            if (name != file)
                QCOMPARE(fs.files.value(QStringLiteral("/d/") + name), QByteArray("earlier"));
        }
        // The new line names the file, and a later run knows it as the page's own.
        const QList<LedgerEntry> lines = ParseLedger(fs.files.value(kLedger));
        QCOMPARE(lines.constLast().file, file);
        QCOMPARE(lines.constLast().address, address);
        SaveCommand nextRun;
        QCOMPARE(nextRun.pathFor(fs, QStringLiteral("/d/"), QStringLiteral("卷"), address), outcome.path);
    }

    // Each row: saves as "address|text" (text "!" for a failing write), and
    // the ledger's lines as "file chars status".
    void ledgerLines_data()
    {
        QTest::addColumn<QStringList>("saves");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("saved") << QStringList{"http://h/1|卷\r\n\r\n天色已晚。\r\n"}
                               << QStringList{"卷.txt 9 saved"};
        QTest::newRow("empty: the title line alone") << QStringList{"http://h/1|卷\r\n"}
                                                     << QStringList{"卷.txt 0 empty"};
        QTest::newRow("empty: blanks only") << QStringList{"http://h/1|卷\r\n \u3000\r\n"}
                                            << QStringList{"卷.txt 4 empty"};
        QTest::newRow("no title line: the title is in the text")
            << QStringList{"http://h/1|    卷中文字\r\n"} << QStringList{"卷.txt 6 saved"};
        QTest::newRow("four spaces of the text's own")
            << QStringList{"http://h/1|    中文字\r\n"} << QStringList{"卷.txt 9 saved"};
        // Paragraph re-flow indents the title line (and takes its spaces).
        const auto reflowed = [](const QString &text) {
            return pagewick::text::dlcp(pagewick::text::DelSpace(text));
        };
        QTest::newRow("re-flowed: the title line is no text")
            << QStringList{"http://h/1|" + reflowed("卷\r\n天色 已晚。\r\n")} << QStringList{"卷.txt 11 saved"};
        QTest::newRow("re-flowed, the title line alone") << QStringList{"http://h/1|" + reflowed("卷\r\n")}
                                                         << QStringList{"卷.txt 0 empty"};
        QTest::newRow("repeat under another address")
            << QStringList{"http://h/1|卷\r\n文字", "http://h/2|卷\r\n文字", "http://h/3|卷\r\n别的"}
            << QStringList{"卷.txt 2 saved", "卷(2).txt 2 repeat", "卷(3).txt 2 saved"};
        QTest::newRow("the same page twice is no repeat")
            << QStringList{"http://h/1|卷\r\n文字", "http://h/1#x|卷\r\n文字"}
            << QStringList{"卷.txt 2 saved", "卷.txt 2 saved"};
        QTest::newRow("two empty pages are empty, not repeats")
            << QStringList{"http://h/1|卷\r\n", "http://h/2|卷\r\n"}
            << QStringList{"卷.txt 0 empty", "卷(2).txt 0 empty"};
        QTest::newRow("a failed save between does not count as the page before")
            << QStringList{"http://h/1|卷\r\n文字", "http://h/2|!", "http://h/3|卷\r\n文字"}
            << QStringList{"卷.txt 2 saved", "卷(2).txt 1 save-failed", "卷(2).txt 2 repeat"};
    }
    void ledgerLines()
    {
        QFETCH(QStringList, saves);
        QFETCH(QStringList, lines);
        FakeFileSystem fs;
        SaveCommand command;

        for (const QString &save : saves) {
            const QString address = save.section(QLatin1Char('|'), 0, 0);
            const QString text = save.section(QLatin1Char('|'), 1);
            fs.failWrites = text == QLatin1String("!");
            command.save(fs, QStringLiteral("/d/"), QStringLiteral("卷"), address, text, kWhen);
        }

        const QByteArray ledger = fs.files.value(kLedger);
        QVERIFY(ledger.startsWith("time\taddress\ttitle\tfile\tchars\tstatus\n"));
        QCOMPARE(ledger.count("time\taddress"), 1);
        QStringList seen;
        for (const LedgerEntry &e : ParseLedger(ledger)) {
            seen << QStringLiteral("%1 %2 %3").arg(e.file).arg(e.chars).arg(e.status);
            QCOMPARE(e.time, QStringLiteral("2026-12-08T13:05:09+08:00"));
            QCOMPARE(e.title, QStringLiteral("卷"));
        }
        QCOMPARE(seen, lines);
        QCOMPARE(fs.appends.size(), saves.size());
    }

    void ledgerCutByACrashIsAppendedToOnANewLine()
    {
        FakeFileSystem fs;
        const QByteArray whole = LedgerOf({"甲.txt@http://h/1"});
        fs.files.insert(kLedger, whole + "2026-12-01T08:01:00+08:00\thttp://h/2\t乙");
        SaveCommand command;

        command.save(fs, QStringLiteral("/d/"), QStringLiteral("丙"), QStringLiteral("http://h/3"),
                     QStringLiteral("丙\r\n文字"), kWhen);

        const QList<LedgerEntry> lines = ParseLedger(fs.files.value(kLedger));
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines.at(0).file, QStringLiteral("甲.txt"));
        QCOMPARE(lines.at(1).file, QStringLiteral("丙.txt"));
    }

    void ledgerThatCannotBeWrittenIsReportedOnce()
    {
        FakeFileSystem fs;
        SaveCommand command;
        QStringList statuses;
        const auto save = [&](const QString &address) {
            const SaveOutcome outcome = command.save(fs, QStringLiteral("/d/"), QStringLiteral("卷"), address,
                                                     QStringLiteral("卷\r\n文字"), kWhen);
            QVERIFY(outcome.written);
            statuses << SaveStatus(outcome);
        };

        fs.failAppends = true;
        save(QStringLiteral("http://h/1"));
        save(QStringLiteral("http://h/2"));
        fs.failAppends = false;
        save(QStringLiteral("http://h/3"));
        fs.failAppends = true;
        save(QStringLiteral("http://h/4"));

        const QString note = QStringLiteral("（记录文件 pagewick-log.tsv 无法写入，提取照常进行）");
        QCOMPARE(statuses, (QStringList{QStringLiteral("已保存：/d/卷.txt") + note, QStringLiteral("已保存：/d/卷(2).txt"),
                                        QStringLiteral("已保存：/d/卷(3).txt"), QStringLiteral("已保存：/d/卷(4).txt") + note}));
        // Without the ledger this run still keeps the pages apart.
        QCOMPARE(fs.files.size(), 5);
    }

    void namesWrittenAlikeCollide()
    {
        LocaleScope scope("zh_CN.GBK");
        QVERIFY2(scope.ok(), "locale missing: run scripts/test-locales.sh");
        FakeFileSystem fs;
        SaveCommand command;

        // Neither emoji is in GBK: both titles become "卷?" on the disk.
        command.save(fs, QStringLiteral("/d/"), QStringLiteral("卷\U0001F600"), QStringLiteral("http://h/1"), {}, kWhen);
        const SaveOutcome second = command.save(fs, QStringLiteral("/d/"), QStringLiteral("卷\U0001F389"),
                                                QStringLiteral("http://h/2"), {}, kWhen);

        QCOMPARE(second.path, QStringLiteral("/d/卷\U0001F389(2).txt"));
    }

    void failedWriteIsReportedAndNotRemembered()
    {
        FakeFileSystem fs;
        SaveCommand command;
        fs.failWrites = true;

        const SaveOutcome failed = command.save(fs, QStringLiteral("/d/"), QStringLiteral("卷"),
                                                QStringLiteral("http://h/1"), {}, kWhen);
        fs.failWrites = false;
        const SaveOutcome next = command.save(fs, QStringLiteral("/d/"), QStringLiteral("卷"),
                                              QStringLiteral("http://h/2"), {}, kWhen);

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
                             QStringLiteral("good"), kWhen).written);
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);

        const SaveOutcome again = command.save(fs, directory, QStringLiteral("卷"),
                                               QStringLiteral("http://h/1"), QStringLiteral("newer"), kWhen);
        const SaveOutcome missing = command.save(fs, directory + QStringLiteral("gone/"),
                                                 QStringLiteral("卷"), QStringLiteral("http://h/1"), {}, kWhen);
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                              | QFileDevice::ExeOwner);

        // As root the directory stays writable; the missing directory fails either way.
        if (::geteuid() != 0) {
            QVERIFY(!again.written);
            QCOMPARE(ReadRaw((directory + QStringLiteral("卷.txt")).toUtf8()), QByteArray("good"));
        }
        QVERIFY(!missing.written);
        QCOMPARE(missing.failure, pagewick::workflow::WriteFailure::NoDirectory);
        if (::geteuid() != 0)
            QCOMPARE(again.failure, pagewick::workflow::WriteFailure::NoPermission);
        // The ledger there fails too, which the status line may add.
        QVERIFY(SaveStatus(missing).startsWith(QStringLiteral("保存失败：") + directory + QStringLiteral("gone/卷.txt")));
    }

    // Where a run saves at start: beside the program when it can, else in
    // the user's documents folder, else in the home folder.
    void startingSaveDirectory_data()
    {
        QTest::addColumn<bool>("programDirectoryWritable");
        QTest::addColumn<bool>("documentsFolder");
        QTest::addColumn<QString>("expected");
        QTest::newRow("writable") << true << true << "/opt/pw/";
        QTest::newRow("documents") << false << true << "%1/Documents/Pagewick/";
        QTest::newRow("home") << false << false << "%1/Pagewick/";
    }
    void startingSaveDirectory()
    {
        QFETCH(bool, programDirectoryWritable);
        QFETCH(bool, documentsFolder);
        QFETCH(QString, expected);
        QTemporaryDir home;
        const QByteArray oldHome = qgetenv("HOME");
        qputenv("HOME", home.path().toUtf8());
        qunsetenv("XDG_CONFIG_HOME");
        FakeFileSystem fs;
        if (!programDirectoryWritable)
            fs.unwritable << QStringLiteral("/opt/pw");
        if (documentsFolder)
            fs.directories << home.path() + QStringLiteral("/Documents");
        const QString start = pagewick::workflow::StartingSaveDirectory(fs, QStringLiteral("/opt/pw"));
        qputenv("HOME", oldHome);
        QCOMPARE(start, expected.arg(home.path()));
    }
};

QTEST_GUILESS_MAIN(TstSaveCommand)
#include "tst_savecommand.moc"
