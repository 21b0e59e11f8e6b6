// Run by scripts/package-test.sh from the bin directory of an installed
// Pagewick, beside the installed program (not by ctest: in the build folder it
// has no prefix around it). The window, made as the installed program makes it
// (program directory = the executable's own), offers the sample book of the
// prefix's data directory, and its first chapter loads and is extracted.
#include "browser/webbrowser.h"
#include "tests/support/scriptedprompt.h"
#include "window/frmmain.h"
#include "window/frmmainseams.h"
#include "window/richtextbox.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QTest>
#include <QUrl>

using pagewick::window::Frmmain;

class TestInstalledProgram : public QObject
{
    Q_OBJECT

private slots:
    void sampleEntriesComeFromThePrefix();
};

void TestInstalledProgram::sampleEntriesComeFromThePrefix()
{
    const QString bin = QCoreApplication::applicationDirPath();
    QVERIFY2(QFileInfo(bin + QStringLiteral("/pagewick")).isExecutable(),
             "to be run beside an installed pagewick");
    const QString book = QDir::cleanPath(bin + QStringLiteral("/../share/pagewick/samples/book-utf8"));

    ScriptedPrompt prompt;
    prompt.queueAnswers({true}); // analyse the chapter; save nothing, go no further
    pagewick::window::FrmmainSeams seams;
    seams.prompt = &prompt;
    Frmmain window(seams);
    window.show();
    QTRY_VERIFY_WITH_TIMEOUT(window.WebBrowser1->ReadyState() == 4
                                 && window.WebBrowser1->LocationURL() == QLatin1String("about:blank"),
                             30000);

    QVERIFY(window.Combo1->count() >= 2);
    const QStringList entries{window.Combo1->itemText(0), window.Combo1->itemText(1)};
    QCOMPARE(entries, (QStringList{"file://" + book + "/ch01.htm", "file://" + book + "/index.htm"}));
    for (const QString &entry : entries)
        QVERIFY2(QFileInfo(QUrl(entry).toLocalFile()).isFile(), qPrintable(entry));
    QVERIFY(!window.windowIcon().isNull());

    window.Combo1->setCurrentIndex(0);
    emit window.Combo1->activated(0);
    QTRY_VERIFY_WITH_TIMEOUT(window.Text1->toPlainText().startsWith(QStringLiteral("第一章 雨夜来客")), 60000);
    QCOMPARE(prompt.questions.value(0), QStringLiteral("网页加载完毕，要分析本页吗？     "));
}

QTEST_MAIN(TestInstalledProgram)
#include "tst_installedprogram.moc"
