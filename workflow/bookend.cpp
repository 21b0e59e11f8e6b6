#include "workflow/bookend.h"

#include "workflow/pageaddress.h"

namespace pagewick::workflow {

namespace {

// Less text of its own than the shortest chapters carry (title and
// navigation included).
constexpr qsizetype kOwnTextOfNoChapter = 1000;
// A contents page: at least this many links ...
constexpr int kContentsLinks = 10;
// ... and at most this share (in percent) of its text outside them.
constexpr qsizetype kContentsOwnTextPercent = 20;

qsizetype CountVisible(QStringView text)
{
    qsizetype count = 0;
    for (const QChar c : text) {
        if (!c.isSpace())
            ++count;
    }
    return count;
}

bool IsLink(const extract::PageElement &element)
{
    return element.tagName.compare(QLatin1String("A"), Qt::CaseInsensitive) == 0;
}

} // namespace

void SavedChapters::add(const QString &url)
{
    m_addresses.insert(PageAddress(url));
}

int SavedChapters::linkedFrom(const LoadedPage &page) const
{
    const QString self = PageAddress(page.url);
    QSet<QString> linked;
    for (const QString &href : page.hrefs) {
        if (href.isEmpty())
            continue;
        const QString address = PageAddress(href);
        if (address != self && m_addresses.contains(address))
            linked.insert(address);
    }
    return int(linked.size());
}

qsizetype TextOutsideLinks(const LoadedPage &page)
{
    const QString body = page.document.bodyText.value_or(QString());
    QString outside;
    qsizetype from = 0;
    for (const extract::PageElement &element : page.document.all) {
        const QString text = element.innerText.trimmed();
        if (!IsLink(element) || text.isEmpty())
            continue;
        const qsizetype at = body.indexOf(text, from);
        if (at < 0)
            continue;
        outside += QStringView(body).mid(from, at - from);
        from = at + text.size();
    }
    outside += QStringView(body).mid(from);
    return CountVisible(outside);
}

bool IsBookEnd(const LoadedPage &page, const SavedChapters &saved, bool hasNextLink)
{
    const qsizetype own = TextOutsideLinks(page);
    if (!hasNextLink && own < kOwnTextOfNoChapter && saved.linkedFrom(page) >= 2)
        return true;
    int links = 0;
    for (const extract::PageElement &element : page.document.all) {
        if (IsLink(element) && !element.innerText.trimmed().isEmpty())
            ++links;
    }
    const qsizetype all = CountVisible(page.document.bodyText.value_or(QString()));
    return links >= kContentsLinks && all > 0 && own * 100 <= all * kContentsOwnTextPercent;
}

QString BookEndText()
{
    return QStringLiteral("本书到目录页结束");
}

} // namespace pagewick::workflow
