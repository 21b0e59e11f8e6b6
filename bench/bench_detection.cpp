// Times main-text detection over an in-memory page of about 20,000 elements
// and one million code units of body text: a header with navigation, a
// sidebar table cell of link lists, the chapter, and a long comment thread.
#include "extract/detection.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace pagewick::extract;

namespace {

struct Node
{
    QString tag;
    QString attrs;
    QString text; // own text, before the children
    std::vector<Node> children;
};

class TextSource
{
public:
    // `length` code units of Chinese prose, with "，" and "。" now and then.
    QString prose(int length)
    {
        static const QString pool =
            QStringLiteral("天地玄黄宇宙洪荒日月盈昃辰宿列张寒来暑往秋收冬藏他说道我们走吧风起云涌");
        QString s;
        s.reserve(length);
        for (int k = 0; k < length; ++k) {
            const unsigned r = next();
            if (r % 17 == 0)
                s += QChar(0xFF0C);
            else if (r % 41 == 0)
                s += QChar(0x3002);
            else
                s += pool.at(int(r % unsigned(pool.size())));
        }
        return s;
    }

private:
    unsigned next()
    {
        m_state = m_state * 1664525u + 1013904223u;
        return m_state >> 8;
    }
    unsigned m_state = 12345u;
};

struct Rendered
{
    QString text;
    QString outer;
};

// Appends the node and its descendants in document order; block children are
// joined by CR LF in innerText, as a rendered page would show them.
Rendered Emit(const Node &node, QVector<PageElement> &all)
{
    const qsizetype index = all.size();
    all.append({node.tag, QString(), QString()});
    QString text = node.text;
    QString html = node.text;
    for (const Node &child : node.children) {
        const Rendered r = Emit(child, all);
        if (!text.isEmpty() && !r.text.isEmpty())
            text += QStringLiteral("\r\n");
        text += r.text;
        html += r.outer;
    }
    const QString outer =
        u'<' + node.tag + node.attrs + u'>' + html + QStringLiteral("</") + node.tag + u'>';
    all[index].innerText = text;
    all[index].innerHTML = html;
    return {text, outer};
}

Node Link(const QString &text)
{
    return {QStringLiteral("A"), QStringLiteral(" href=\"/book/1/2.html\""), text, {}};
}

Node Element(const char *tag, const char *attrs, QString text = QString(),
             std::vector<Node> children = {})
{
    return {QString::fromLatin1(tag), QString::fromLatin1(attrs), std::move(text),
            std::move(children)};
}

PageDocument BuildPage()
{
    TextSource src;

    std::vector<Node> nav;
    for (int k = 0; k < 248; ++k)
        nav.push_back(Element("LI", "", QString(), {Link(QStringLiteral("第%1卷").arg(k + 1))}));
    Node header = Element("DIV", " id=header", QString(),
                          {Element("DIV", " class=logo", QStringLiteral("书香小站")),
                           Element("UL", " class=nav", QString(), std::move(nav))});

    std::vector<Node> boxes;
    for (int b = 0; b < 40; ++b) {
        std::vector<Node> items;
        for (int k = 0; k < 25; ++k)
            items.push_back(Element("LI", "", QString(), {Link(src.prose(12))}));
        boxes.push_back(Element("DIV", " class=box", QString(),
                                {Element("UL", "", QString(), std::move(items))}));
    }
    Node side = Element("TD", " class=side", QString(), std::move(boxes));

    std::vector<Node> paragraphs;
    for (int k = 0; k < 400; ++k)
        paragraphs.push_back(Element("P", "", QStringLiteral("　　") + src.prose(80)));
    auto bar = [] {
        return Element("DIV", " class=bar", QString(),
                       {Link(QStringLiteral("上一页")), Link(QStringLiteral("目录")),
                        Link(QStringLiteral("下一页"))});
    };
    Node content = Element("TD", " class=main", QString(),
                           {Element("DIV", " id=content", QString(),
                                    {Element("H1", "", QStringLiteral("第一百章 风起")), bar(),
                                     Element("DIV", " id=chapter", QString(),
                                             std::move(paragraphs)),
                                     bar()})});
    Node table = Element(
        "TABLE", "", QString(),
        {Element("TBODY", "", QString(),
                 {Element("TR", "", QString(), {std::move(side), std::move(content)})})});

    std::vector<Node> comments;
    for (int k = 0; k < 1700; ++k) {
        comments.push_back(Element(
            "DIV", " class=comment", QString(),
            {Element("DIV", " class=user", QString(),
                     {Link(QStringLiteral("读者%1").arg(k)),
                      Element("SPAN", "", QStringLiteral("楼主"))}),
             Element("DIV", " class=body", QString(), {Element("P", "", src.prose(540))}),
             Element("DIV", " class=foot", QString(),
                     {Element("SPAN", "", QStringLiteral("2026-12-08 03:45")),
                      Link(QStringLiteral("回复")), Link(QStringLiteral("赞"))})}));
    }
    Node thread = Element("DIV", " id=comments", QString(), std::move(comments));

    Node body = Element("BODY", "", QString(),
                        {Element("DIV", " id=wrap", QString(),
                                 {std::move(header), std::move(table), std::move(thread)})});
    const QString title = QStringLiteral("第一百章 风起_书香小站");
    Node head = Element("HEAD", "", QString(), {Element("TITLE", "", title)});
    Node html = Element("HTML", "", QString(), {std::move(head), std::move(body)});

    PageDocument doc;
    doc.title = title;
    Emit(html, doc.all);
    for (const PageElement &e : doc.all) {
        if (e.tagName == QLatin1String("BODY")) {
            doc.bodyText = e.innerText;
            break;
        }
    }
    return doc;
}

} // namespace

int main()
{
    const PageDocument doc = BuildPage();
    qsizetype markup = 0;
    for (const PageElement &e : doc.all)
        markup += e.innerText.size() + e.innerHTML.size();
    std::printf("elements: %lld, body text: %lld code units, all innerText+innerHTML: %lld\n",
                static_cast<long long>(doc.all.size()),
                static_cast<long long>(doc.bodyText->size()), static_cast<long long>(markup));

    const DetectionHooks hooks{[](const QString &) {}, [] { return true; }};
    std::vector<double> times;
    CandidateState state;
    for (int run = 0; run < 7; ++run) {
        QElapsedTimer timer;
        timer.start();
        const auto body = DetectMainText(doc, state, hooks);
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
        if (!body)
            return 1;
    }
    std::sort(times.begin(), times.end());
    std::printf("candidates: %lld, winner: %s\n",
                static_cast<long long>(state.CandidateKeys.size() - 1),
                qPrintable(state.CandidateKeys.value(state.CandidateKeys.size() - 1)));
    std::printf("DetectMainText: min %.1f ms, median %.1f ms over %zu runs\n", times.front(),
                times[times.size() / 2], times.size());
    return 0;
}
