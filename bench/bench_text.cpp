// Times every text operation once on a generated 10-million-character chapter
// text and the sort on 100,000 detection-style keys; prints one line each.

#include "extract/titleclean.h"
#include "text/eventyield.h"
#include "text/textops.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <functional>

using namespace pagewick::text;

namespace {

QString generateText(qsizetype minLength, QRandomGenerator &rng)
{
    const QString ideo(QChar(0x3000));
    const QStringList cjk = {
        QString::fromUtf8("天色渐晚，他推开门，走进了那间旧屋。"),
        QString::fromUtf8("【正文】她笑了笑，说道：“明天再来吧。”"),
        QString::fromUtf8("风从山谷里吹来，带着雨的气味。¨远处传来钟声。"),
    };
    const QStringList ascii = {
        QStringLiteral("  The rain had not stopped since noon, and the road was dark.  "),
        QStringLiteral("Chapter notes: see the next page. "),
        QStringLiteral("   "),
    };
    QString text;
    text.reserve(minLength + 200);
    while (text.size() < minLength) {
        switch (rng.bounded(5)) {
        case 0:
        case 1:
            text += ideo + ideo + cjk[rng.bounded(int(cjk.size()))];
            break;
        case 2:
            text += ascii[rng.bounded(int(ascii.size()))];
            break;
        case 3:
            break; // empty line
        default:
            text += cjk[rng.bounded(int(cjk.size()))] + ideo;
            break;
        }
        text += QStringLiteral("\r\n");
    }
    return text;
}

QStringList generateKeys(int count, QRandomGenerator &rng)
{
    QStringList keys;
    keys.reserve(count);
    for (int i = 0; i < count; ++i) {
        keys += QStringLiteral("%1|%2|0.%3|%4")
                    .arg(10000 + rng.bounded(90000))
                    .arg(rng.bounded(1000) / 10.0)
                    .arg(rng.bounded(10000))
                    .arg(rng.bounded(2) ? QStringLiteral("DIV") : QStringLiteral("TD"));
    }
    return keys;
}

void timeIt(const char *name, const std::function<qsizetype()> &run)
{
    QElapsedTimer t;
    t.start();
    const qsizetype size = run();
    std::printf("%-28s %8.1f ms  (result %lld)\n", name, t.nsecsElapsed() / 1e6,
                static_cast<long long>(size));
}

} // namespace

int main()
{
    QRandomGenerator rng(20261208u);
    const QString text = generateText(10'000'000, rng);
    const QStringList randomKeys = generateKeys(100'000, rng);
    QStringList sortedKeys = randomKeys;
    std::sort(sortedKeys.begin(), sortedKeys.end());

    // Count the yields instead of running an event loop that does not exist here.
    qint64 yields = 0;
    setYieldFunction([&yields] { ++yields; });

    std::printf("text: %lld UTF-16 code units, %lld CR LF\n", static_cast<long long>(text.size()),
                static_cast<long long>(text.count(QStringLiteral("\r\n"))));

    const QString open = QString::fromUtf8("【");
    const QString close = QString::fromUtf8("】");
    const QString word = QString::fromUtf8("正文");
    timeIt("FindStrMulti pairs", [&] { return FindStrMulti(text, open, close, QStringLiteral(",")).size(); });
    timeIt("FindStrMulti same marker", [&] { return FindStrMulti(text, word, word, QString()).size(); });
    timeIt("FindStrMulti start only", [&] { return FindStrMulti(text, QStringLiteral("noon"), QString(), QString()).size(); });
    timeIt("FindStrMulti end only", [&] { return FindStrMulti(text, QString(), QStringLiteral("~none~"), QString()).size(); });
    timeIt("DelSpace", [&] { return DelSpace(text).size(); });
    timeIt("DellSpace", [&] { return DellSpace(text).size(); });
    timeIt("DelrSpace", [&] { return DelrSpace(text).size(); });
    timeIt("addSpace", [&] { return addSpace(text).size(); });
    timeIt("dlcp", [&] { return dlcp(text).size(); });
    timeIt("CleanPageTitle", [&] { return pagewick::extract::CleanPageTitle(text).size(); });
    timeIt("SortStr 100000 random", [&] {
        QStringList keys = randomKeys;
        SortStr(keys, 0, int(keys.size()) - 1);
        return qsizetype(std::is_sorted(keys.begin(), keys.end()));
    });
    timeIt("SortStr 100000 sorted", [&] {
        QStringList keys = sortedKeys;
        SortStr(keys, 0, int(keys.size()) - 1);
        return qsizetype(std::is_sorted(keys.begin(), keys.end()));
    });
    timeIt("SortStr 100000 reversed", [&] {
        QStringList keys = sortedKeys;
        std::reverse(keys.begin(), keys.end());
        SortStr(keys, 0, int(keys.size()) - 1);
        return qsizetype(std::is_sorted(keys.begin(), keys.end()));
    });
    std::printf("yields during the three line walks: %lld\n", static_cast<long long>(yields));
    return 0;
}
