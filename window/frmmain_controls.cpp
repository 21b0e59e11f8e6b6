#include "window/frmmain.h"

#include "browser/webbrowser.h"
#include "window/clicklabel.h"
#include "window/layout.h"
#include "window/programinfo.h"
#include "window/richtextbox.h"
#include "window/splitterbar.h"
#include "window/twipsgeometry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace pagewick::window {

namespace {

const QString kNextLinkTip =
    QStringLiteral("适用于小说网等看一页后可以点击该页中的诸如下一页等的链接进入下一页阅读的网页");
const QString kNextLinkNamesTip =
    kNextLinkTip
    + QStringLiteral("。可填几个名称，用“|”隔开（如“下一页|下一章”），按填写的先后查找，先找到的名称为准")
    + QStringLiteral("。保持“下一页”不改时，网页上没有“下一页”链接就依次找“下一章”“下一节”“下一回”“下章”“下页”"
                     "“下一篇”“下一頁”“下一章節”“Next Chapter”“Next Page”“Next”和网页标明的下一页链接；"
                     "改成别的名称则只找所填的名称");

QLabel *label(const QString &caption, QWidget *parent, const QRect &twips)
{
    auto *l = new QLabel(caption, parent);
    placeTwips(l, twips);
    return l;
}

QPushButton *button(const QString &caption, const QString &tip, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setToolTip(tip);
    b->setAutoDefault(false);
    return b;
}

QCheckBox *checkBox(const QString &caption, const QString &tip, bool checked, QWidget *parent,
                    const QRect &twips)
{
    auto *c = new QCheckBox(caption, parent);
    c->setToolTip(tip);
    c->setChecked(checked);
    placeTwips(c, twips);
    return c;
}

QLineEdit *textBox(const QString &text, const QString &tip, QWidget *parent, const QRect &twips)
{
    auto *t = new QLineEdit(text, parent);
    t->setToolTip(tip);
    placeTwips(t, twips);
    return t;
}

} // namespace

void Frmmain::createControls()
{
    QFont font = this->font();
    font.setPixelSize(12);
    setFont(font);

    Lab_url = label(QStringLiteral("起始页网址："), this, QRect(120, 60, 1080, 180));

    Combo1 = new QComboBox(this);
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->setCompleter(nullptr);
    // Not WheelFocus: a wheel turn passing over the box must not take the
    // focus and, with it, change the choice.
    Combo1->setFocusPolicy(Qt::StrongFocus);
    Combo1->addItems(defaultStartAddresses(fileSystem(), programDirectory()));
    Combo1->setCurrentIndex(-1);
    Combo1->setEditText(QString());
    placeTwips(Combo1, QRect(1200, 0, 6570, 300));

    Cmd_goto = button(QStringLiteral("转到(&G)"), QStringLiteral("打开左侧"), this);
    Cmd_tiqu = button(QStringLiteral("提取(&O)"),
                      QStringLiteral("智能提取网页正文，适合正文字数相对其它内容多的网页"), this);
    Cmd_save = button(QStringLiteral("保存(&S)"), QStringLiteral("保存提取的网文"), this);
    Cmd_next = button(QStringLiteral("下一页(&N)"), QStringLiteral("转到下一页网页"), this);
    Cmd_setup = button(
        QStringLiteral("设置(&O)"),
        QStringLiteral("使自动转为手动设置提取的相关选项，如果想要正在自动提取的操作停下来，"
                       "请设置操作模式或下页链接名称，都可"),
        this);

    WebBrowser1 = new browser::WebBrowser(this);

    imgSizeH = new SplitterBar(this);
    placeTwips(imgSizeH, QRect(0, 4150, 12975, 80));

    Text1 = new RichTextBox(this);

    Lab_bt = label(QString(), this, QRect(0, 8040, 12900, 255));

    createOptionsPanel();
}

void Frmmain::createOptionsPanel()
{
    Frame1 = new QFrame(this);
    Frame1->setFrameShape(QFrame::StyledPanel);
    Frame1->setAutoFillBackground(true);
    placeTwips(Frame1, QRect(9800, 320, 3135, kOptionsPanelHeight));
    Frame1->hide();

    Lab_opt[0] = label(QStringLiteral("弹窗屏蔽："), Frame1, QRect(180, 255, 900, 180));
    Check1[0] = checkBox(QStringLiteral("屏蔽/不屏蔽"),
                         QStringLiteral("设置屏蔽弹窗后可能网页标题获取不正确"), true, Frame1,
                         QRect(1100, 255, 1455, 255));
    Lab_opt[1] = label(QStringLiteral("操作模式："), Frame1, QRect(180, 612, 900, 180));
    Check1[1] = checkBox(
        QStringLiteral("静默模式/应答模式"),
        QStringLiteral("设置为静默模式后可自动连续提取，否则每步都要求回答是否继续下一步操作"),
        false, Frame1, QRect(1100, 607, 1935, 255));
    Lab_opt[4] = label(QStringLiteral("段落重排："), Frame1, QRect(180, 969, 900, 180));
    Check1[2] = checkBox(
        QStringLiteral("重新排版/不用重排"),
        QStringLiteral("设置提取完成后是否进行段落重排，正常文章不建议重排，否则会消耗更多时间"),
        false, Frame1, QRect(1100, 959, 1935, 255));
    Lab_opt[2] = label(QStringLiteral("保存路径："), Frame1, QRect(180, 1326, 900, 180));
    // Its text is the program's directory, set at start-up; its tool-tip follows its text.
    Txt_dir = textBox(QString(), QString(), Frame1, QRect(1100, 1311, 1770, 270));
    Lab_opt[3] = label(QStringLiteral("下页链接名称："), Frame1, QRect(180, 1683, 1260, 180));
    Txt_Next = textBox(QStringLiteral("下一页"), kNextLinkNamesTip, Frame1, QRect(1440, 1680, 1410, 270));
    Check1[3] = checkBox(QStringLiteral("自定义条件提取"), QString(), false, Frame1,
                         QRect(120, 2040, 1620, 255));
    Lab_opt[5] = label(QStringLiteral("提取自从："), Frame1, QRect(180, 2472, 900, 180));
    Txt_gjz[0] = textBox(QString(), kNextLinkTip, Frame1, QRect(1100, 2415, 1830, 270));
    Lab_opt[6] = label(QStringLiteral("后到") + QString(21, QLatin1Char(' ')) + QStringLiteral("间内容"),
                       Frame1, QRect(180, 2835, 2790, 180));
    // The blanks must be as wide as the box that lies over them: a blank half
    // as wide as a Chinese character, as in a fixed-pitch CJK face.
    QFont halfWidthBlanks = Lab_opt[6]->font();
    halfWidthBlanks.setFamilies({QStringLiteral("Noto Sans Mono CJK SC"), QStringLiteral("monospace")});
    halfWidthBlanks.setStyleHint(QFont::Monospace);
    Lab_opt[6]->setFont(halfWidthBlanks);
    // Lies over the blanks of Lab_opt(6), so that the panel reads as one sentence.
    Txt_gjz[1] = textBox(QString(), kNextLinkTip, Frame1, QRect(630, 2800, 1725, 270));
    Cmd_jiezhe = button(QStringLiteral("接着上次(&R)"),
                        QStringLiteral("打开保存路径下最后保存的一页，从那里接着提取新的章节"), Frame1);
    placeTwips(Cmd_jiezhe, QRect(180, 3620, 1300, 330));
    Lab_close = new ClickLabel(QStringLiteral("×"), Frame1);
    placeTwips(Lab_close, QRect(2950, 0, 180, 180));
    Lab_jiange = label(QStringLiteral("页间隔："), Frame1, QRect(180, 3220, 720, 180));
    Spn_jiange = new QSpinBox(Frame1);
    Spn_jiange->setRange(0, 600);
    Spn_jiange->setValue(0);
    Spn_jiange->setToolTip(
        QStringLiteral("静默模式下每次打开下一页前等待的秒数，实际等待在此值的一半到一倍半之间随机，0为不等待"));
    placeTwips(Spn_jiange, QRect(1100, 3165, 900, 270));
    Lab_miao = label(QStringLiteral("秒"), Frame1, QRect(2060, 3220, 300, 180));
    Cmd_hebing = button(QStringLiteral("合并成书(&M)"),
                        QStringLiteral("把保存路径中已提取的各页按提取顺序合并成一个文本文件和一本 EPUB 电子书"),
                        Frame1);
    placeTwips(Cmd_hebing, QRect(1620, 3620, 1300, 330));

    for (QLineEdit *box : Txt_gjz)
        box->setEnabled(false);
    Txt_gjz[1]->raise();
    Frame1->raise();
}

void Frmmain::setTabOrder()
{
    // The view takes the focus through a child it creates once the page
    // exists; the tab order must lead to that child.
    QWidget *view = WebBrowser1->widget();
    QWidget *browserFocus = view->focusProxy() ? view->focusProxy() : view;
    const QList<QWidget *> order = {
        Combo1,    Cmd_goto,  Cmd_tiqu, Cmd_save,   Cmd_next,   Cmd_setup,
        Check1[0], Check1[1], Check1[2], Txt_dir,   Txt_Next,   Check1[3],
        Txt_gjz[0], Txt_gjz[1], Spn_jiange, Cmd_jiezhe, Cmd_hebing, browserFocus, Text1,
    };
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order.at(i - 1), order.at(i));
}

} // namespace pagewick::window
