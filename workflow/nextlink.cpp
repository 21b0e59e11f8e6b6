#include "workflow/nextlink.h"

#include "workflow/pageaddress.h"

namespace pagewick::workflow {

namespace {

// A script link runs code instead of naming a page: the same text on every
// page of a book may lead to a different page each time.
bool NamesAPage(const QString &target)
{
    return !target.startsWith(QLatin1String("javascript:"), Qt::CaseInsensitive);
}

} // namespace

int FirstLinkNamed(const extract::PageDocument &doc, const QString &name)
{
    if (name.isEmpty())
        return -1;
    for (int i = 0; i < doc.all.size(); ++i) {
        const extract::PageElement &element = doc.all.at(i);
        if (element.tagName.toUpper() != QLatin1String("A"))
            continue;
        if (element.innerHTML.contains(name) || element.innerText.contains(name))
            return i;
    }
    return -1;
}

void ChainMemory::clear()
{
    m_seen.clear();
}

void ChainMemory::recordFollowed(const QString &fromUrl, const QString &target)
{
    m_seen.insert(PageAddress(fromUrl));
    if (NamesAPage(target))
        m_seen.insert(PageAddress(target));
}

bool ChainMemory::leadsBack(const QString &currentUrl, const QString &target) const
{
    if (target.isEmpty())
        return true;
    if (!NamesAPage(target))
        return false;
    const QString address = PageAddress(target);
    return address == PageAddress(currentUrl) || m_seen.contains(address);
}

int NextLinkToFollow(const LoadedPage &page, const QString &name, const ChainMemory &chain)
{
    const int index = FirstLinkNamed(page.document, name);
    if (index < 0 || chain.leadsBack(page.url, page.hrefs.value(index)))
        return -1;
    return index;
}

QString NoNextLinkNotice()
{
    return QStringLiteral("   可能你没有设置当前页的下页链接名称或者设置不对，或者是网页已经提取结束了，请检查!    ");
}

} // namespace pagewick::workflow
