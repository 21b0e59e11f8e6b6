// The program's command line: "--help" and "--version" answer without a
// display (the platform is forced to X11 with no display to reach, so opening
// a window would end the program with an error instead), an unknown option or
// a command's bad argument is refused before any window or engine starts, and
// the window without a display says so in one line.
#include <QProcess>
#include <QTest>

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void answers_data();
    void answers();
};

void TestCommandLine::answers_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("platform"); // empty: none chosen
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("out"); // lines standard output must hold
    QTest::addColumn<QString>("err");     // text standard error must hold

    const QString version = QStringLiteral("Pagewick " PAGEWICK_VERSION);
    const QStringList help{QStringLiteral("Usage: " PAGEWICK_PROGRAM " [options]"),
                           QStringLiteral("网络连载小说收集工具：逐页提取网页正文，保存为文本文件。"),
                           QStringLiteral("  -h, --help     Displays help on commandline options."),
                           QStringLiteral("  -v, --version  Displays version information.")};
    const QString xcb = QStringLiteral("xcb");
    QTest::newRow("--version") << QStringList{"--version"} << xcb << 0 << QStringList{version} << QString();
    QTest::newRow("-v") << QStringList{"-v"} << xcb << 0 << QStringList{version} << QString();
    QTest::newRow("--help") << QStringList{"--help"} << xcb << 0 << help << QString();
    QTest::newRow("-h") << QStringList{"-h"} << xcb << 0 << help << QString();
    QTest::newRow("help beside a platform option")
        << QStringList{"-platform", "offscreen", "--help"} << xcb << 0 << help << QString();
    QTest::newRow("--help-all") << QStringList{"--help-all"} << xcb << 0 << QStringList{help.first()} << QString();
    const QString offscreen = QStringLiteral("offscreen");
    QTest::newRow("unknown option refused")
        << QStringList{"--bogus"} << offscreen << 2 << QStringList{} << QStringLiteral("Pagewick: Unknown option 'bogus'.");
    QTest::newRow("no display for the window")
        << QStringList{} << QString() << 1 << QStringList{}
        << QStringLiteral("Pagewick: 没有可用的显示器，无法打开窗口（collect、update 命令不需要显示器，见 --help）");
    QTest::newRow("help lists the commands")
        << QStringList{"--help"} << xcb << 0
        << QStringList{QStringLiteral("命令（不开窗口，也不需要显示器）："),
                       QStringLiteral("退出状态：0 全部完成，1 有书失败，2 参数有误，130 被中断。")}
        << QString();
    QTest::newRow("command help")
        << QStringList{"collect", "--help"} << QString() << 0
        << QStringList{QStringLiteral("Usage: " PAGEWICK_PROGRAM " collect [options] 网址")} << QString();
    QTest::newRow("collect without an address")
        << QStringList{"collect", "--dir", "x"} << QString() << 2 << QStringList{}
        << QStringLiteral("Pagewick: collect 需要一个网址。");
    QTest::newRow("interval out of range")
        << QStringList{"collect", "http://127.0.0.1/", "--interval", "601"} << QString() << 2 << QStringList{}
        << QStringLiteral("Pagewick: --interval 要 0 到 600 之间的整数秒：601");
    QTest::newRow("update without a directory")
        << QStringList{"update", "--quiet"} << QString() << 2 << QStringList{}
        << QStringLiteral("Pagewick: update 需要至少一个目录。");
    QTest::newRow("unknown option of a command")
        << QStringList{"update", "d", "--dir", "e"} << QString() << 2 << QStringList{}
        << QStringLiteral("Pagewick: Unknown option 'dir'.");
}

void TestCommandLine::answers()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, platform);
    QFETCH(int, exitCode);
    QFETCH(QStringList, out);
    QFETCH(QString, err);

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    if (!platform.isEmpty())
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(PAGEWICK_PROGRAM), arguments);
    QVERIFY(program.waitForFinished(30000));
    const QString stdOut = QString::fromUtf8(program.readAllStandardOutput());
    const QString stdErr = QString::fromUtf8(program.readAllStandardError());
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QVERIFY2(program.exitCode() == exitCode, qPrintable(stdErr));
    const QStringList lines = stdOut.split(QLatin1Char('\n'));
    for (const QString &line : out)
        QVERIFY2(lines.contains(line), qPrintable(stdOut));
    if (out.isEmpty())
        QCOMPARE(stdOut, QString());
    QVERIFY2(stdErr.contains(err), qPrintable(stdErr));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
