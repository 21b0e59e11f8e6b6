// The window's controls as they start, the tab order, the layout pass and
// dragging the splitter, on the real window.
#include "windowtesting.h"

#include "browser/webbrowser.h"
#include "window/clicklabel.h"
#include "window/programinfo.h"
#include "window/richtextbox.h"
#include "window/splitterbar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QPushButton>
#include <QSignalSpy>

#include "../support/scriptedprompt.h"

using namespace pagewick::window;
using namespace windowtesting;

namespace {

const QString kNextTip =
    QStringLiteral("适用于小说网等看一页后可以点击该页中的诸如下一页等的链接进入下一页阅读的网页");
const QString kNextNamesTip =
    kNextTip + QStringLiteral("。可填几个名称，用“|”隔开（如“下一页|下一章”），按填写的先后查找，先找到的名称为准")
    + QStringLiteral("。保持“下一页”不改时，网页上没有“下一页”链接就依次找“下一章”“下一节”“下一回”“下章”“下页”"
                     "“下一篇”“下一頁”“下一章節”“Next Chapter”“Next Page”“Next”和网页标明的下一页链接；"
                     "改成别的名称则只找所填的名称");

QWidget *controlNamed(Frmmain &w, const QString &name)
{
    const QHash<QString, QWidget *> controls = {
        {"Lab_url", w.Lab_url},       {"Combo1", w.Combo1},         {"Cmd_goto", w.Cmd_goto},
        {"Cmd_tiqu", w.Cmd_tiqu},     {"Cmd_save", w.Cmd_save},     {"Cmd_next", w.Cmd_next},
        {"Cmd_setup", w.Cmd_setup},   {"imgSizeH", w.imgSizeH},     {"Text1", w.Text1},
        {"Lab_bt", w.Lab_bt},         {"Frame1", w.Frame1},         {"Lab_opt(0)", w.Lab_opt[0]},
        {"Lab_opt(1)", w.Lab_opt[1]}, {"Lab_opt(2)", w.Lab_opt[2]}, {"Lab_opt(3)", w.Lab_opt[3]},
        {"Lab_opt(4)", w.Lab_opt[4]}, {"Lab_opt(5)", w.Lab_opt[5]}, {"Lab_opt(6)", w.Lab_opt[6]},
        {"Check1(0)", w.Check1[0]},   {"Check1(1)", w.Check1[1]},   {"Check1(2)", w.Check1[2]},
        {"Check1(3)", w.Check1[3]},   {"Txt_dir", w.Txt_dir},       {"Txt_Next", w.Txt_Next},
        {"Txt_gjz(0)", w.Txt_gjz[0]}, {"Txt_gjz(1)", w.Txt_gjz[1]}, {"Lab_close", w.Lab_close},
        {"Cmd_jiezhe", w.Cmd_jiezhe},
        {"Cmd_hebing", w.Cmd_hebing},
        {"WebBrowser1", w.WebBrowser1->widget()},
        {"Lab_jiange", w.Lab_jiange}, {"Spn_jiange", w.Spn_jiange}, {"Lab_miao", w.Lab_miao},
    };
    return controls.value(name);
}

QString captionOf(QWidget *control)
{
    if (auto *label = qobject_cast<QLabel *>(control))
        return label->text();
    if (auto *button = qobject_cast<QAbstractButton *>(control))
        return button->text();
    if (auto *edit = qobject_cast<QLineEdit *>(control))
        return edit->text();
    if (auto *combo = qobject_cast<QComboBox *>(control))
        return combo->currentText();
    if (auto *spin = qobject_cast<QAbstractSpinBox *>(control))
        return spin->text();
    return QString();
}

} // namespace

class TestFrmmainLayout : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void initialControls_data();
    void initialControls();
    void initialWindow();
    void tabOrder();
    void accessKeys();

    void firstLayout();
    void resize_data();
    void resize();
    void minimumSize();
    void textBoxKeepsPlaceWhenTooLow();

    void drag_data();
    void drag();
    void dragNeedsLeftButtonAlone_data();
    void dragNeedsLeftButtonAlone();
    void anyButtonGrabs();
    void closingEndsBrowserWaits();

private:
    std::unique_ptr<Frmmain> m_window;
    ProgramDirectory m_program;
    ScriptedPrompt m_prompt;
    FakeShellWindows m_shell;
};

void TestFrmmainLayout::init()
{
    FrmmainSeams seams;
    seams.programDirectory = m_program.path();
    seams.prompt = &m_prompt;
    seams.shellWindows = &m_shell;
    m_window = std::make_unique<Frmmain>(seams);
}

void TestFrmmainLayout::cleanup()
{
    m_window.reset();
}

void TestFrmmainLayout::initialControls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("toolTip");
    QTest::addColumn<QRect>("geometry"); // null: placed by the layout pass
    QTest::addColumn<bool>("enabled");

    QTest::newRow("Lab_url") << "Lab_url" << "起始页网址：" << "" << QRect(120, 60, 1080, 180) << true;
    QTest::newRow("Combo1") << "Combo1" << "" << "" << QRect(1200, 0, 6570, 300) << true;
    QTest::newRow("Cmd_goto") << "Cmd_goto" << "转到(&G)" << "打开左侧" << QRect() << true;
    QTest::newRow("Cmd_tiqu") << "Cmd_tiqu" << "提取(&O)"
                              << "智能提取网页正文，适合正文字数相对其它内容多的网页" << QRect() << true;
    QTest::newRow("Cmd_save") << "Cmd_save" << "保存(&S)" << "保存提取的网文" << QRect() << true;
    QTest::newRow("Cmd_next") << "Cmd_next" << "下一页(&N)" << "转到下一页网页" << QRect() << true;
    QTest::newRow("Cmd_setup")
        << "Cmd_setup" << "设置(&O)"
        << "使自动转为手动设置提取的相关选项，如果想要正在自动提取的操作停下来，请设置操作模式或下页链接名称，都可"
        << QRect() << true;
    QTest::newRow("imgSizeH") << "imgSizeH" << "" << "" << QRect(0, 4150, 12975, 80) << true;
    QTest::newRow("Lab_bt") << "Lab_bt" << "" << "" << QRect(0, 8040, 12900, 255) << true;
    QTest::newRow("Frame1") << "Frame1" << "" << "" << QRect(9800, 320, 3135, 4100) << true;
    QTest::newRow("Lab_opt(0)") << "Lab_opt(0)" << "弹窗屏蔽：" << "" << QRect(180, 255, 900, 180) << true;
    QTest::newRow("Check1(0)") << "Check1(0)" << "屏蔽/不屏蔽" << "设置屏蔽弹窗后可能网页标题获取不正确"
                               << QRect(1100, 255, 1455, 255) << true;
    QTest::newRow("Lab_opt(1)") << "Lab_opt(1)" << "操作模式：" << "" << QRect(180, 612, 900, 180) << true;
    QTest::newRow("Check1(1)")
        << "Check1(1)" << "静默模式/应答模式"
        << "设置为静默模式后可自动连续提取，否则每步都要求回答是否继续下一步操作"
        << QRect(1100, 607, 1935, 255) << true;
    QTest::newRow("Lab_opt(4)") << "Lab_opt(4)" << "段落重排：" << "" << QRect(180, 969, 900, 180) << true;
    QTest::newRow("Check1(2)")
        << "Check1(2)" << "重新排版/不用重排"
        << "设置提取完成后是否进行段落重排，正常文章不建议重排，否则会消耗更多时间"
        << QRect(1100, 959, 1935, 255) << true;
    QTest::newRow("Lab_opt(2)") << "Lab_opt(2)" << "保存路径：" << "" << QRect(180, 1326, 900, 180) << true;
    QTest::newRow("Txt_dir") << "Txt_dir" << m_program.path() + "/" << "" << QRect(1100, 1311, 1770, 270)
                             << true;
    QTest::newRow("Lab_opt(3)") << "Lab_opt(3)" << "下页链接名称：" << "" << QRect(180, 1683, 1260, 180)
                                << true;
    QTest::newRow("Txt_Next") << "Txt_Next" << "下一页" << kNextNamesTip << QRect(1440, 1680, 1410, 270) << true;
    QTest::newRow("Check1(3)") << "Check1(3)" << "自定义条件提取" << "" << QRect(120, 2040, 1620, 255) << true;
    QTest::newRow("Lab_opt(5)") << "Lab_opt(5)" << "提取自从：" << "" << QRect(180, 2472, 900, 180) << true;
    QTest::newRow("Txt_gjz(0)") << "Txt_gjz(0)" << "" << kNextTip << QRect(1100, 2415, 1830, 270) << false;
    QTest::newRow("Lab_opt(6)") << "Lab_opt(6)" << QStringLiteral("后到                     间内容") << ""
                                << QRect(180, 2835, 2790, 180) << true;
    QTest::newRow("Txt_gjz(1)") << "Txt_gjz(1)" << "" << kNextTip << QRect(630, 2800, 1725, 270) << false;
    QTest::newRow("Lab_close") << "Lab_close" << "×" << "" << QRect(2950, 0, 180, 180) << true;
    QTest::newRow("Cmd_jiezhe") << "Cmd_jiezhe" << "接着上次(&R)"
                                << "打开保存路径下最后保存的一页，从那里接着提取新的章节"
                                << QRect(180, 3620, 1300, 330) << true;
    QTest::newRow("Cmd_hebing") << "Cmd_hebing" << "合并成书(&M)"
                                << "把保存路径中已提取的各页按提取顺序合并成一个文本文件和一本 EPUB 电子书"
                                << QRect(1620, 3620, 1300, 330) << true;
    QTest::newRow("Lab_jiange") << "Lab_jiange" << "页间隔：" << "" << QRect(180, 3220, 720, 180) << true;
    QTest::newRow("Spn_jiange")
        << "Spn_jiange" << "0"
        << "静默模式下每次打开下一页前等待的秒数，实际等待在此值的一半到一倍半之间随机，0为不等待"
        << QRect(1100, 3165, 900, 270) << true;
    QTest::newRow("Lab_miao") << "Lab_miao" << "秒" << "" << QRect(2060, 3220, 300, 180) << true;
}

void TestFrmmainLayout::initialControls()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, toolTip);
    QFETCH(QRect, geometry);
    QFETCH(bool, enabled);

    QWidget *control = controlNamed(*m_window, name);
    QVERIFY(control);
    QCOMPARE(captionOf(control), caption);
    QCOMPARE(control->toolTip(), toolTip);
    if (!geometry.isNull())
        QCOMPARE(twips(control), geometry);
    QCOMPARE(control->isEnabled(), enabled);
}

void TestFrmmainLayout::initialWindow()
{
    Frmmain &w = *m_window;
    QCOMPARE(w.windowTitle(), programTitle());
    QVERIFY(w.windowTitle().startsWith(QLatin1String("Pagewick")));
    QVERIFY(!w.windowIcon().isNull());
    QCOMPARE(toTwips(QRect(QPoint(), w.size())), QRect(0, 0, 12945, 8340));
    QVERIFY(w.Frame1->isHidden());
    QCOMPARE(w.Check1[0]->checkState(), Qt::Checked);
    for (int i : {1, 2, 3})
        QCOMPARE(w.Check1[i]->checkState(), Qt::Unchecked);
    QCOMPARE(w.Text1->text(), QString());
    QCOMPARE(w.LastClientHeight, 0);
    QCOMPARE(w.SplitterGrabY, 0);
    QCOMPARE(w.imgSizeH->cursor().shape(), Qt::SizeVerCursor);

    QVERIFY(w.Combo1->isEditable());
    QCOMPARE(w.Combo1->insertPolicy(), QComboBox::NoInsert);
    QCOMPARE(w.Combo1->count(), 2);
    QCOMPARE(w.Combo1->itemText(0), m_program.samplePage("ch01.htm"));
    QCOMPARE(w.Combo1->itemText(1), m_program.samplePage("index.htm"));
    QCOMPARE(w.Combo1->currentText(), QString());
    // The page interval: whole seconds from 0 to 600, none at start.
    QCOMPARE(w.Spn_jiange->minimum(), 0);
    QCOMPARE(w.Spn_jiange->maximum(), 600);
    QCOMPARE(w.Spn_jiange->value(), 0);
    for (QWidget *label : {static_cast<QWidget *>(w.Lab_url), static_cast<QWidget *>(w.Lab_bt),
                           static_cast<QWidget *>(w.Lab_opt[6]), static_cast<QWidget *>(w.Lab_close),
                           static_cast<QWidget *>(w.Lab_jiange), static_cast<QWidget *>(w.Lab_miao)})
        QCOMPARE(label->focusPolicy(), Qt::NoFocus);
}

void TestFrmmainLayout::tabOrder()
{
    Frmmain &w = *m_window;
    QVERIFY(showActive(w));
    QTRY_VERIFY(w.WebBrowser1->widget()->focusProxy());
    QCoreApplication::processEvents();
    const QList<QWidget *> expected = {
        w.Combo1,     w.Cmd_goto,   w.Cmd_tiqu,  w.Cmd_save,  w.Cmd_next,           w.Cmd_setup,
        w.Check1[0],  w.Check1[1],  w.Check1[2], w.Txt_dir,   w.Txt_Next,           w.Check1[3],
        w.Txt_gjz[0], w.Txt_gjz[1], w.Spn_jiange, w.Cmd_jiezhe, w.Cmd_hebing, w.WebBrowser1->widget(), w.Text1,
    };
    // Each widget of the focus chain counts as the listed control it is or lies in.
    QList<QWidget *> seen;
    QWidget *step = w.Combo1;
    do {
        for (QWidget *control : expected) {
            if ((control == step || control->isAncestorOf(step)) && !seen.contains(control)
                && (step->focusPolicy() & Qt::TabFocus))
                seen << control;
        }
        step = step->nextInFocusChain();
    } while (step != w.Combo1 && seen.size() < expected.size());
    QCOMPARE(seen, expected);
}

void TestFrmmainLayout::accessKeys()
{
    Frmmain &w = *m_window;
    QVERIFY(showActive(w));
    QSignalSpy go(w.Cmd_goto, &QPushButton::clicked);
    QSignalSpy save(w.Cmd_save, &QPushButton::clicked);
    QTest::keyClick(&w, Qt::Key_G, Qt::AltModifier);
    QTest::keyClick(&w, Qt::Key_S, Qt::AltModifier);
    QTRY_COMPARE(go.count(), 1);
    QTRY_COMPARE(save.count(), 1);
}

void TestFrmmainLayout::firstLayout()
{
    Frmmain &w = *m_window;
    QVERIFY(showActive(w));
    QCOMPARE(twips(w.imgSizeH), QRect(0, 4150, 12975, 80));
    QCOMPARE(twipsGeometry(*w.WebBrowser1), QRect(0, 320, 12945, 3830));
    QCOMPARE(twips(w.Text1), QRect(0, 4210, 12945, 3770));
    QCOMPARE(twips(w.Combo1), QRect(1200, 0, 6445, 300));
    QCOMPARE(twips(w.Cmd_goto), QRect(7695, 0, 1000, 300));
    QCOMPARE(twips(w.Cmd_tiqu), QRect(8695, 0, 1000, 300));
    QCOMPARE(twips(w.Cmd_save), QRect(9695, 0, 1000, 300));
    QCOMPARE(twips(w.Cmd_next), QRect(10695, 0, 1200, 300));
    QCOMPARE(twips(w.Cmd_setup), QRect(11895, 0, 1000, 300));
    QCOMPARE(twips(w.Frame1), QRect(9745, 320, 3150, 4100));
    QCOMPARE(twips(w.Lab_bt), QRect(0, 8040, 12945, 255));
    QCOMPARE(twips(w.Lab_url), QRect(120, 60, 1080, 180));
    QCOMPARE(w.LastClientHeight, 8340);
}

void TestFrmmainLayout::resize_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("splitterTop");
    QTest::newRow("height doubled") << 12945 << 16680 << 8300;
    QTest::newRow("height halved") << 12945 << 4170 << 2075;
    QTest::newRow("wider by 1500") << 14445 << 8340 << 4150;
}

void TestFrmmainLayout::resize()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, splitterTop);
    Frmmain &w = *m_window;
    QVERIFY(showActive(w));
    w.resize(toPixels(width), toPixels(height));
    QTRY_COMPARE(w.LastClientHeight, height);

    QCOMPARE(twips(w.imgSizeH), QRect(0, splitterTop, width, 60));
    QCOMPARE(twipsGeometry(*w.WebBrowser1), QRect(0, 320, width, splitterTop - 320));
    QCOMPARE(twips(w.Text1), QRect(0, splitterTop + 60, width, height - splitterTop - 420));
    QCOMPARE(twips(w.Combo1), QRect(1200, 0, width - 6500, 300));
    QCOMPARE(twips(w.Cmd_goto), QRect(width - 5250, 0, 1000, 300));
    QCOMPARE(twips(w.Cmd_next), QRect(width - 2250, 0, 1200, 300));
    QCOMPARE(twips(w.Cmd_setup), QRect(width - 1050, 0, 1000, 300));
    QCOMPARE(twips(w.Frame1), QRect(width - 3200, 320, 3150, 4100));
    QCOMPARE(twips(w.Lab_bt), QRect(0, height - 300, width, 255));
    QCOMPARE(twips(w.Lab_url), QRect(120, 60, 1080, 180));
}

void TestFrmmainLayout::minimumSize()
{
    Frmmain &w = *m_window;
    QVERIFY(showActive(w));
    w.resize(100, 100);
    // The outer size, frame included, is held at the minimum.
    QTRY_COMPARE(toTwips(w.frameGeometry().height()), 3000);
    QCOMPARE(toTwips(w.frameGeometry().width()), 12870);
    QCOMPARE(w.LastClientHeight, toTwips(w.height()));
    QCOMPARE(twips(w.Cmd_setup), QRect(toTwips(w.width()) - 1050, 0, 1000, 300));
}

void TestFrmmainLayout::textBoxKeepsPlaceWhenTooLow()
{
    Frmmain &w = *m_window;
    QVERIFY(showActive(w));
    w.resize(toPixels(12945), toPixels(12000));
    QTRY_COMPARE(w.LastClientHeight, 12000);
    QCOMPARE(twips(w.imgSizeH).y(), 5971); // 4150 x 12000 / 8340 = 5971.2

    // Down to the bottom limit: 12000 - 1200.
    sendMouse(w.imgSizeH, QEvent::MouseButtonPress, 0, Qt::LeftButton, Qt::LeftButton);
    sendMouse(w.imgSizeH, QEvent::MouseMove, px(8000), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(twips(w.imgSizeH).y(), 10800);
    const QRect textBefore = twips(w.Text1);
    QCOMPARE(textBefore, QRect(0, 10860, 12945, 780));

    // 10800 x 3000 / 12000 = 2700, and 3000 - 2700 - 420 < 0.
    w.resize(toPixels(12945), toPixels(3000));
    QTRY_COMPARE(w.LastClientHeight, 3000);
    QCOMPARE(twips(w.imgSizeH), QRect(0, 2700, 12945, 60));
    QCOMPARE(twipsGeometry(*w.WebBrowser1), QRect(0, 320, 12945, 2380));
    QCOMPARE(twips(w.Text1), textBefore);
    QCOMPARE(twips(w.Lab_bt), QRect(0, 2700, 12945, 255));
}

void TestFrmmainLayout::drag_data()
{
    QTest::addColumn<int>("grab");
    QTest::addColumn<int>("moveTo"); // from the bar's top, twips
    QTest::addColumn<int>("top");
    QTest::newRow("grabbed 30 down, 500 further") << 30 << 530 << 4650;
    QTest::newRow("beyond the top limit") << 30 << -4000 << 1200;
    QTest::newRow("beyond the bottom limit") << 30 << 6000 << 7140;
}

void TestFrmmainLayout::drag()
{
    QFETCH(int, grab);
    QFETCH(int, moveTo);
    QFETCH(int, top);
    Frmmain &w = *m_window;
    QVERIFY(showActive(w));
    const int lastHeight = w.LastClientHeight;

    sendMouse(w.imgSizeH, QEvent::MouseButtonPress, px(grab), Qt::LeftButton, Qt::LeftButton);
    QCOMPARE(w.SplitterGrabY, grab);
    sendMouse(w.imgSizeH, QEvent::MouseMove, px(moveTo), Qt::NoButton, Qt::LeftButton);

    // Left, width and height of the bar are not touched by a drag.
    QCOMPARE(twips(w.imgSizeH), QRect(0, top, 12975, 80));
    QCOMPARE(twipsGeometry(*w.WebBrowser1), QRect(0, 320, 12945, top - 320));
    QCOMPARE(twips(w.Text1), QRect(0, top + 60, 12945, 8340 - top - 420));
    QCOMPARE(w.LastClientHeight, lastHeight);
}

void TestFrmmainLayout::dragNeedsLeftButtonAlone_data()
{
    QTest::addColumn<Qt::MouseButtons>("buttons");
    QTest::newRow("no button") << Qt::MouseButtons();
    QTest::newRow("right button") << Qt::MouseButtons(Qt::RightButton);
    QTest::newRow("left and right") << Qt::MouseButtons(Qt::LeftButton | Qt::RightButton);
    QTest::newRow("middle button") << Qt::MouseButtons(Qt::MiddleButton);
}

void TestFrmmainLayout::dragNeedsLeftButtonAlone()
{
    QFETCH(Qt::MouseButtons, buttons);
    Frmmain &w = *m_window;
    QVERIFY(showActive(w));
    const QRect bar = twips(w.imgSizeH);
    const QRect text = twips(w.Text1);
    sendMouse(w.imgSizeH, QEvent::MouseButtonPress, px(30), Qt::LeftButton, Qt::LeftButton);
    sendMouse(w.imgSizeH, QEvent::MouseMove, px(1500), Qt::NoButton, buttons);
    QCOMPARE(twips(w.imgSizeH), bar);
    QCOMPARE(twips(w.Text1), text);
}

void TestFrmmainLayout::anyButtonGrabs()
{
    Frmmain &w = *m_window;
    QVERIFY(showActive(w));
    sendMouse(w.imgSizeH, QEvent::MouseButtonPress, px(45), Qt::RightButton, Qt::RightButton);
    QCOMPARE(w.SplitterGrabY, 45);
    sendMouse(w.imgSizeH, QEvent::MouseButtonRelease, px(45), Qt::RightButton, Qt::NoButton);
    // A later left-button move drags from where the right button grabbed.
    sendMouse(w.imgSizeH, QEvent::MouseMove, px(1045), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(twips(w.imgSizeH).y(), 5150);
}

void TestFrmmainLayout::closingEndsBrowserWaits()
{
    Frmmain &w = *m_window;
    QVERIFY(showActive(w));
    QVERIFY(!w.WebBrowser1->isShutDown());
    QVERIFY(w.close());
    QVERIFY(w.WebBrowser1->isShutDown());
}

QTEST_MAIN(TestFrmmainLayout)
#include "tst_frmmain_layout.moc"
