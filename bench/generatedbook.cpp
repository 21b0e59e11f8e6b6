#include "bench/generatedbook.h"

#include <QStringList>

namespace pagewick::bench {

namespace {

constexpr int kChapterTextBytes = 10 * 1024;
constexpr int kTopLinks = 70;
constexpr int kSideLinks = 280;
constexpr int kComments = 150;
constexpr int kFooterLinks = 40;

const QString kCrLf = QStringLiteral("\r\n");

// Neither "第" nor "章" is in the pool, so a chapter's title never occurs in
// its text and the saved file always starts with the title line.
const QString &Pool()
{
    static const QString pool = QStringLiteral(
        "天地玄黄宇宙洪荒日月盈昃辰宿列张寒来暑往秋收冬藏闰余成岁律吕调阳云腾致雨露结为霜"
        "金生丽水玉出昆冈剑号巨阙珠称夜光果珍李柰菜重芥姜海咸河淡鳞潜羽翔他说道我们走吧");
    return pool;
}

class Random
{
public:
    explicit Random(unsigned seed) : m_state(seed * 2654435761u + 1u) {}
    unsigned next()
    {
        m_state = m_state * 1664525u + 1013904223u;
        return m_state >> 8;
    }
    int below(int n) { return int(next() % unsigned(n)); }

private:
    unsigned m_state = 1;
};

QString Words(Random &random, int length)
{
    QString s;
    s.reserve(length);
    for (int k = 0; k < length; ++k)
        s += Pool().at(random.below(int(Pool().size())));
    return s;
}

// One line of prose: clauses separated by "，", ending with "。"; no spaces,
// so the rendered text is the line exactly.
QString ProseLine(Random &random)
{
    QString line;
    const int clauses = 2 + random.below(3);
    for (int c = 0; c < clauses; ++c) {
        if (c > 0)
            line += QChar(0xFF0C);
        line += Words(random, 6 + random.below(10));
    }
    line += QChar(0x3002);
    return line;
}

QString Link(const QString &href, const QString &text)
{
    return QStringLiteral("<a href=\"%1\">%2</a>").arg(href, text);
}

QString ChapterBar(int number, int count, const QString &prefix)
{
    QString bar = QStringLiteral("<div class=\"bar\">");
    bar += Link(QStringLiteral("/index.html"), QStringLiteral("目录"));
    if (number > 1)
        bar += Link(prefix + QString::number(number - 1) + QStringLiteral(".html"),
                    QStringLiteral("上一页"));
    if (number < count)
        bar += Link(prefix + QString::number(number + 1) + QStringLiteral(".html"),
                    QStringLiteral("下一页"));
    bar += QStringLiteral("</div>\n");
    return bar;
}

} // namespace

GeneratedChapter GenerateChapter(int number, int count, const QString &pathPrefix)
{
    Random random{unsigned(number)};
    GeneratedChapter chapter;
    chapter.fileTitle = QStringLiteral("第%1章 ").arg(number) + Words(random, 4);

    QStringList lines;
    int bytes = 0;
    while (bytes < kChapterTextBytes) {
        lines << ProseLine(random);
        bytes += int(lines.constLast().toUtf8().size());
    }

    QString page;
    page.reserve(80000);
    page += QStringLiteral("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>")
        + chapter.fileTitle + QStringLiteral("_书名_站名</title>")
        + QStringLiteral("<style>body{font-size:14px}.side li{display:inline}</style></head>\n<body>\n");

    page += QStringLiteral("<div class=\"top\"><ul>");
    for (int k = 0; k < kTopLinks; ++k)
        page += QStringLiteral("<li>") + Link(QStringLiteral("/list/%1.html").arg(k),
                                              QStringLiteral("栏目%1").arg(k))
            + QStringLiteral("</li>");
    page += QStringLiteral("</ul></div>\n");

    page += ChapterBar(number, count, pathPrefix);
    page += QStringLiteral("<div id=\"content\">") + lines.join(QStringLiteral("<br>"))
        + QStringLiteral("</div>\n");
    page += ChapterBar(number, count, pathPrefix);

    page += QStringLiteral("<div class=\"side\"><ul>");
    for (int k = 0; k < kSideLinks; ++k)
        page += QStringLiteral("<li>") + Link(QStringLiteral("/book%1/").arg(k),
                                              QStringLiteral("推荐书%1").arg(k))
            + QStringLiteral("</li>");
    page += QStringLiteral("</ul></div>\n");

    page += QStringLiteral("<div class=\"comments\">");
    for (int k = 0; k < kComments; ++k)
        page += QStringLiteral("<div class=\"c\">")
            + Link(QStringLiteral("/user/%1").arg(k), QStringLiteral("读者%1").arg(k))
            + QStringLiteral("<span><em>顶</em>") + Words(random, 8) + QStringLiteral("</span></div>");
    page += QStringLiteral("</div>\n");

    page += QStringLiteral("<div class=\"foot\">");
    for (int k = 0; k < kFooterLinks; ++k)
        page += QStringLiteral("<p>") + Link(QStringLiteral("/about/%1").arg(k),
                                             QStringLiteral("关于%1").arg(k))
            + QStringLiteral("</p>");
    page += QStringLiteral("</div>\n</body></html>\n");

    chapter.html = page.toUtf8();
    // The winning element's innerText framed by the detection, after the
    // title line; its <br> breaks become CR LF.
    chapter.expected = chapter.fileTitle + kCrLf + kCrLf + lines.join(kCrLf) + kCrLf;
    return chapter;
}

int ChapterElementCount(const QByteArray &html)
{
    int count = 0;
    for (qsizetype i = 0; i + 1 < html.size(); ++i) {
        const char next = html.at(i + 1);
        if (html.at(i) == '<' && ((next >= 'a' && next <= 'z') || (next >= 'A' && next <= 'Z')))
            ++count;
    }
    return count;
}

} // namespace pagewick::bench
