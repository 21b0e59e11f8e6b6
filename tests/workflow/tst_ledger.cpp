#include "workflow/chainsummary.h"
#include "workflow/ledger.h"

#include <QtTest>

using pagewick::workflow::LedgerAppendBytes;
using pagewick::workflow::LedgerEntry;
using pagewick::workflow::LedgerLine;
using pagewick::workflow::LedgerStatus;
using pagewick::workflow::LedgerTail;
using pagewick::workflow::LedgerTailOf;
using pagewick::workflow::ParseLedger;

Q_DECLARE_METATYPE(LedgerStatus)

namespace {

const QByteArray kHeader("time\taddress\ttitle\tfile\tchars\tstatus\n");

LedgerEntry Entry(const QString &address, const QString &status, qint64 chars = 12)
{
    return LedgerEntry{QStringLiteral("2026-12-08T13:05:09+08:00"), address, QStringLiteral("第一章"),
                       QStringLiteral("第一章.txt"), chars, status};
}

// One field per entry: enough to tell which lines were read back.
QStringList Addresses(const QList<LedgerEntry> &entries)
{
    QStringList addresses;
    for (const LedgerEntry &e : entries)
        addresses << e.address;
    return addresses;
}

// Appends as the save command does: to whatever the file holds now.
void Append(std::optional<QByteArray> &file, const LedgerEntry &entry)
{
    const QByteArray bytes = LedgerAppendBytes(LedgerTailOf(file), entry);
    file = file.value_or(QByteArray()) + bytes;
}

} // namespace

class TstLedger : public QObject
{
    Q_OBJECT

private slots:
    void line_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("plain, UTF-8")
            << "http://h/1" << "第一章" << "第一章.txt"
            << QStringLiteral("2026-12-08T13:05:09+08:00\thttp://h/1\t第一章\t第一章.txt\t7\tsaved\n").toUtf8();
        QTest::newRow("tab in the title")
            << "http://h/1" << "第\t一章" << "第.txt"
            << QStringLiteral("2026-12-08T13:05:09+08:00\thttp://h/1\t第 一章\t第.txt\t7\tsaved\n").toUtf8();
        QTest::newRow("CR LF and a lone LF")
            << "http://h/1\n" << "甲\r\n乙" << "a.txt"
            << QStringLiteral("2026-12-08T13:05:09+08:00\thttp://h/1 \t甲  乙\ta.txt\t7\tsaved\n").toUtf8();
        QTest::newRow("Unicode line and paragraph separators")
            << "http://h/1" << QStringLiteral("甲\u2028乙\u2029丙\u0085") << "a.txt"
            << QStringLiteral("2026-12-08T13:05:09+08:00\thttp://h/1\t甲 乙 丙 \ta.txt\t7\tsaved\n").toUtf8();
        QTest::newRow("no file for a failure")
            << "http://h/1" << "" << ""
            << QByteArray("2026-12-08T13:05:09+08:00\thttp://h/1\t\t\t7\tsaved\n");
    }
    void line()
    {
        QFETCH(QString, address);
        QFETCH(QString, title);
        QFETCH(QString, file);
        QFETCH(QByteArray, expected);
        const LedgerEntry entry{QStringLiteral("2026-12-08T13:05:09+08:00"), address, title, file, 7,
                                QStringLiteral("saved")};

        const QByteArray line = LedgerLine(entry);

        QCOMPARE(line, expected);
        // Whatever the fields held, the line reads back as one entry of six fields.
        const QList<LedgerEntry> back = ParseLedger(kHeader + line);
        QCOMPARE(back.size(), 1);
        QCOMPARE(back.first().address.size(), address.size());
        QCOMPARE(back.first().title.size(), title.size());
    }

    void statuses_data()
    {
        QTest::addColumn<LedgerStatus>("status");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("wroteFile");
        QTest::newRow("saved") << LedgerStatus::Saved << "saved" << true;
        QTest::newRow("empty") << LedgerStatus::Empty << "empty" << true;
        QTest::newRow("repeat") << LedgerStatus::Repeat << "repeat" << true;
        QTest::newRow("save-failed") << LedgerStatus::SaveFailed << "save-failed" << false;
        QTest::newRow("load-failed") << LedgerStatus::LoadFailed << "load-failed" << false;
        QTest::newRow("read-failed") << LedgerStatus::ReadFailed << "read-failed" << false;
    }
    void statuses()
    {
        QFETCH(LedgerStatus, status);
        QFETCH(QString, text);
        QFETCH(bool, wroteFile);
        const LedgerEntry entry = Entry(QStringLiteral("http://h/1"), text, 3456);

        const QList<LedgerEntry> back = ParseLedger(kHeader + LedgerLine(entry));

        QCOMPARE(pagewick::workflow::LedgerStatusText(status), text);
        QCOMPARE(pagewick::workflow::ParseLedgerStatus(text), std::optional<LedgerStatus>(status));
        QCOMPARE(pagewick::workflow::WroteFile(status), wroteFile);
        QCOMPARE(back.size(), 1);
        QCOMPARE(back.first().time, entry.time);
        QCOMPARE(back.first().address, entry.address);
        QCOMPARE(back.first().title, entry.title);
        QCOMPARE(back.first().file, entry.file);
        QCOMPARE(back.first().chars, qint64(3456));
        QCOMPARE(back.first().status, text);
    }

    // Lines that are not whole entries are skipped; the others are kept.
    void parse_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("addresses");
        const QByteArray a = LedgerLine(Entry(QStringLiteral("http://h/a"), QStringLiteral("saved")));
        const QByteArray b = LedgerLine(Entry(QStringLiteral("http://h/b"), QStringLiteral("empty")));
        QTest::newRow("nothing") << QByteArray() << QStringList{};
        QTest::newRow("header only") << kHeader << QStringList{};
        QTest::newRow("two lines") << kHeader + a + b << QStringList{"http://h/a", "http://h/b"};
        QTest::newRow("without a header") << a + b << QStringList{"http://h/a", "http://h/b"};
        QTest::newRow("last line without its line end")
            << kHeader + a + b.chopped(1) << QStringList{"http://h/a", "http://h/b"};
        QTest::newRow("cut in the status") << kHeader + a + b.left(b.size() - 4) << QStringList{"http://h/a"};
        QTest::newRow("cut in the chars") << kHeader + a + b.left(b.indexOf("\t12\t") + 2)
                                          << QStringList{"http://h/a"};
        QTest::newRow("cut inside a UTF-8 character")
            << kHeader + a + b.left(b.indexOf("\t第") + 2) << QStringList{"http://h/a"};
        QTest::newRow("CR LF line ends") << QByteArray(kHeader + a + b).replace("\n", "\r\n")
                                         << QStringList{"http://h/a", "http://h/b"};
        QTest::newRow("unknown status") << kHeader + QByteArray(a).replace("saved", "gone") + b
                                        << QStringList{"http://h/b"};
        QTest::newRow("seven columns") << kHeader + QByteArray(a).replace("\tsaved", "\tx\tsaved") + b
                                       << QStringList{"http://h/b"};
        QTest::newRow("negative chars") << kHeader + QByteArray(a).replace("\t12\t", "\t-1\t") + b
                                        << QStringList{"http://h/b"};
        QTest::newRow("blank lines") << kHeader + "\n" + a + "\n\n" + b << QStringList{"http://h/a", "http://h/b"};
    }
    void parse()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, addresses);
        QCOMPARE(Addresses(ParseLedger(content)), addresses);
    }

    // Each row: the file before (nullopt: none), then two lines appended.
    void append_data()
    {
        QTest::addColumn<std::optional<QByteArray>>("before");
        QTest::addColumn<QStringList>("addresses");
        QTest::addColumn<int>("headers");
        const QByteArray a = LedgerLine(Entry(QStringLiteral("http://h/a"), QStringLiteral("saved")));
        QTest::newRow("no file") << std::optional<QByteArray>() << QStringList{"http://h/1", "http://h/2"} << 1;
        QTest::newRow("an empty file")
            << std::optional<QByteArray>(QByteArray()) << QStringList{"http://h/1", "http://h/2"} << 1;
        QTest::newRow("a whole ledger")
            << std::optional<QByteArray>(kHeader + a) << QStringList{"http://h/a", "http://h/1", "http://h/2"}
            << 1;
        QTest::newRow("cut mid-line by a crash")
            << std::optional<QByteArray>(kHeader + a + a.left(30))
            << QStringList{"http://h/a", "http://h/1", "http://h/2"} << 1;
        // The broken header is skipped like any broken line.
        QTest::newRow("cut within the header")
            << std::optional<QByteArray>(kHeader.left(10)) << QStringList{"http://h/1", "http://h/2"} << 0;
    }
    void append()
    {
        QFETCH(std::optional<QByteArray>, before);
        QFETCH(QStringList, addresses);
        QFETCH(int, headers);
        std::optional<QByteArray> file = before;

        Append(file, Entry(QStringLiteral("http://h/1"), QStringLiteral("saved")));
        Append(file, Entry(QStringLiteral("http://h/2"), QStringLiteral("repeat")));

        QCOMPARE(Addresses(ParseLedger(*file)), addresses);
        QCOMPARE(int(file->count(kHeader)), headers);
        if (LedgerTailOf(before) == LedgerTail::New)
            QVERIFY(file->startsWith(kHeader));
        QVERIFY(file->endsWith('\n'));
    }

    // Each row: the chain's lines as statuses ("!" after one: its line could not be written).
    void summary_data()
    {
        QTest::addColumn<QStringList>("statuses");
        QTest::addColumn<QString>("summary");
        QTest::newRow("nothing recorded") << QStringList{} << "";
        QTest::newRow("every kind")
            << QStringList{"saved", "saved", "empty", "repeat", "save-failed", "load-failed", "read-failed"}
            << "本次提取 7 页：已保存 2，空白 1，重复 1，失败 3（详见 pagewick-log.tsv）";
        QTest::newRow("all saved") << QStringList{"saved", "saved", "saved"}
                                   << "本次提取 3 页：已保存 3，空白 0，重复 0，失败 0（详见 pagewick-log.tsv）";
        QTest::newRow("a line not written")
            << QStringList{"saved", "save-failed!"}
            << "本次提取 2 页：已保存 1，空白 0，重复 0，失败 1（记录文件 pagewick-log.tsv 有的行无法写入）";
    }
    void summary()
    {
        QFETCH(QStringList, statuses);
        QFETCH(QString, summary);
        pagewick::workflow::ChainTally tally;
        tally.add(LedgerStatus::Saved, true);
        tally.clear();

        for (QString status : statuses) {
            const bool written = !status.endsWith(QLatin1Char('!'));
            if (!written)
                status.chop(1);
            tally.add(*pagewick::workflow::ParseLedgerStatus(status), written);
        }

        QCOMPARE(tally.summary(), summary);
        QCOMPARE(tally.pages(), int(statuses.size()));
    }

    void lastSavedAddress_data()
    {
        QTest::addColumn<QStringList>("lines"); // "address status"
        QTest::addColumn<QString>("address");   // empty: none
        QTest::newRow("no lines") << QStringList{} << "";
        QTest::newRow("the last saved line")
            << QStringList{"http://h/1 saved", "http://h/2 saved", "http://h/3 save-failed", "http://h/4 empty",
                           "http://h/5 load-failed"}
            << "http://h/2";
        QTest::newRow("only failures and empty pages")
            << QStringList{"http://h/1 empty", "http://h/2 read-failed"} << "";
    }
    void lastSavedAddress()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, address);
        QByteArray ledger = kHeader;
        for (const QString &line : lines)
            ledger += LedgerLine(Entry(line.section(QLatin1Char(' '), 0, 0), line.section(QLatin1Char(' '), 1)));

        const std::optional<QString> found = pagewick::workflow::LastSavedAddress(ParseLedger(ledger));

        QCOMPARE(found.value_or(QString()), address);
    }

    void time_data()
    {
        QTest::addColumn<QDateTime>("moment");
        QTest::addColumn<QString>("expected");
        const QDate day(2026, 12, 8);
        QTest::newRow("east of UTC") << QDateTime(day, QTime(13, 5, 9, 700), Qt::OffsetFromUTC, 8 * 3600)
                                     << "2026-12-08T13:05:09+08:00";
        QTest::newRow("west, half hours") << QDateTime(day, QTime(1, 0), Qt::OffsetFromUTC, -(3 * 3600 + 1800))
                                          << "2026-12-08T01:00:00-03:30";
        QTest::newRow("UTC") << QDateTime(day, QTime(23, 59, 59), Qt::UTC) << "2026-12-08T23:59:59+00:00";
    }
    void time()
    {
        QFETCH(QDateTime, moment);
        QFETCH(QString, expected);
        QCOMPARE(pagewick::workflow::LedgerTime(moment), expected);
    }
};

QTEST_APPLESS_MAIN(TstLedger)
#include "tst_ledger.moc"
