#include "tests/support/enginetestutil.h"
#include "tests/window/cyclefixture.h"

#include "browser/webbrowser.h"
#include "window/programinfo.h"
#include "window/richtextbox.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using pagewick::browser::WebBrowser;

namespace {

const QString kNotice =
    QStringLiteral("   可能你没有设置当前页的下页链接名称或者设置不对，或者是网页已经提取结束了，请检查!    ");
const QString kLoaded = QStringLiteral("网页加载完毕，要分析本页吗？     ");
const QString kSave = QStringLiteral("本页分析提取完毕，要保存提取结果吗？     ");
const QString kNext = QStringLiteral("提取结果保存完毕，要继续分析下页吗？     ");

QString FileOf(const QString &chapter)
{
    return ChapterTitle(chapter) + QStringLiteral(".txt");
}

} // namespace

class TstCycle : public QObject
{
    Q_OBJECT

public:
    static void initMain() { pagewick::testsupport::prepareEngine(); }

private slots:
    void silentModeCollectsTheBook()
    {
        CycleFixture f;
        QVERIFY(f.ready());
        f.serveSampleBook();
        f.setSilentMode(true);
        QStringList addressAtCompletion;
        QObject::connect(f.window().WebBrowser1, &WebBrowser::DocumentComplete, &f.window(), [&f, &addressAtCompletion] {
            addressAtCompletion << f.window().Combo1->currentText();
        });

        f.startAt(QStringLiteral("/book/ch01.htm"));
        QVERIFY(f.waitForChainEnd());
        QTest::qWait(300);

        QCOMPARE(f.prompt.shown, QStringList{kNotice});
        QStringList expectedFiles;
        for (const QString &chapter : SampleChapters())
            expectedFiles << FileOf(chapter);
        expectedFiles.sort();
        QCOMPARE(f.savedFiles(), expectedFiles);
        for (const QString &chapter : SampleChapters())
            QCOMPARE(QString::fromUtf8(f.savedBytes(FileOf(chapter))), ExpectedChapterText(chapter));
        QCOMPARE(f.window().windowTitle(), ChapterTitle(QStringLiteral("ch05.htm")) + QStringLiteral(" - 提取结束"));
        // Each chapter fetched once; the address box followed every page.
        for (const QString &chapter : SampleChapters())
            QCOMPARE(f.server.requestCount(QStringLiteral("/book/") + chapter), 1);
        QStringList expectedAddresses;
        for (const QString &chapter : SampleChapters())
            expectedAddresses << f.server.url(QStringLiteral("/book/") + chapter).toString();
        QCOMPARE(addressAtCompletion, expectedAddresses);
        QCOMPARE(f.window().Text1->text(), ExpectedChapterText(QStringLiteral("ch05.htm")));
    }
};

PAGEWICK_ENGINE_TEST_MAIN(TstCycle)
#include "tst_cycle.moc"
