// Run by scripts/package-test.sh from the bin directory of an installed
// Pagewick, beside the installed program (not by ctest: in the build folder it
// has no prefix around it). The window, made as the installed program makes it
// (program directory = the executable's own), offers the sample book of the
// prefix's data directory, and its first chapter loads and is extracted. The
// script runs it again as an ordinary user with the bin directory read-only:
// the chapter is then saved in that user's documents folder, and the user's
// own start addresses come before those beside the program.
#include "browser/webbrowser.h"
#include "tests/support/scriptedprompt.h"
#include "window/frmmain.h"
#include "window/frmmainseams.h"
#include "window/richtextbox.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QTest>
#include <QUrl>

using pagewick::window::Frmmain;

class TestInstalledProgram : public QObject
{
    Q_OBJECT

private slots:
    void sampleEntriesComeFromThePrefix();
};

namespace {

// What the script expects of this run, from the environment.
QString expected(const char *name)
{
    const QString value = qEnvironmentVariable(name);
    if (value.isEmpty())
        qFatal("%s is not set", name);
    return value;
}

} // namespace

void TestInstalledProgram::sampleEntriesComeFromThePrefix()
{
    const QString bin = QCoreApplication::applicationDirPath();
    QVERIFY2(QFileInfo(bin + QStringLiteral("/pagewick")).isExecutable(),
             "to be run beside an installed pagewick");
    const QString book = QDir::cleanPath(bin + QStringLiteral("/../share/pagewick/samples/book-utf8"));

    ScriptedPrompt prompt;
    prompt.queueAnswers({true, true, false}); // analyse the chapter, save it, go no further
    pagewick::window::FrmmainSeams seams;
    seams.prompt = &prompt;
    Frmmain window(seams);
    window.show();
    QTRY_VERIFY_WITH_TIMEOUT(window.WebBrowser1->ReadyState() == 4
                                 && window.WebBrowser1->LocationURL() == QLatin1String("about:blank"),
                             30000);

    const QString saveDirectory = expected("PAGEWICK_EXPECTED_SAVE_DIRECTORY");
    QCOMPARE(window.Txt_dir->text(), saveDirectory);
    QCOMPARE(window.Combo1->count(), 4);
    QCOMPARE(window.Combo1->itemText(2), expected("PAGEWICK_EXPECTED_USER_FAVORITE"));
    QCOMPARE(window.Combo1->itemText(3), expected("PAGEWICK_EXPECTED_PROGRAM_FAVORITE"));
    const QStringList entries{window.Combo1->itemText(0), window.Combo1->itemText(1)};
    QCOMPARE(entries, (QStringList{"file://" + book + "/ch01.htm", "file://" + book + "/index.htm"}));
    for (const QString &entry : entries)
        QVERIFY2(QFileInfo(QUrl(entry).toLocalFile()).isFile(), qPrintable(entry));
    QVERIFY(!window.windowIcon().isNull());

    window.Combo1->setCurrentIndex(0);
    emit window.Combo1->activated(0);
    QTRY_VERIFY_WITH_TIMEOUT(window.Text1->toPlainText().startsWith(QStringLiteral("第一章 雨夜来客")), 60000);
    QCOMPARE(prompt.questions.value(0), QStringLiteral("网页加载完毕，要分析本页吗？     "));
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(saveDirectory + QStringLiteral("第一章 雨夜来客.txt")).isFile(), 10000);
}

QTEST_MAIN(TestInstalledProgram)
#include "tst_installedprogram.moc"
