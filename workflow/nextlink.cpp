#include "workflow/nextlink.h"

#include "workflow/pageaddress.h"
#include "workflow/usualnextlink.h"

#include <QUrl>

namespace pagewick::workflow {

namespace {

// A script link runs code instead of naming a page: the same text on every
// page of a book may lead to a different page each time.
bool NamesAPage(const QString &target)
{
    return !target.startsWith(QLatin1String("javascript:"), Qt::CaseInsensitive);
}

bool IsPageItselfWithFragment(const QString &currentUrl, const QString &target)
{
    return QUrl(target).hasFragment() && PageAddress(target) == PageAddress(currentUrl);
}

} // namespace

QStringList NextLinkNames(const QString &text)
{
    if (!text.contains(QLatin1Char('|')))
        return {text};
    return text.split(QLatin1Char('|'), Qt::SkipEmptyParts);
}

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

int FirstLinkNamed(const extract::PageDocument &doc, const QStringList &names)
{
    for (const QString &name : names) {
        const int index = FirstLinkNamed(doc, name);
        if (index >= 0)
            return index;
    }
    return -1;
}

bool IsScriptTarget(const QString &resolvedTarget)
{
    return resolvedTarget.isEmpty() || !NamesAPage(resolvedTarget);
}

void ChainMemory::clear()
{
    m_seen.clear();
    m_left.clear();
}

void ChainMemory::recordFollowed(const QString &fromUrl, const QString &target)
{
    m_seen.insert(PageAddress(fromUrl));
    m_left.insert(PageAddress(fromUrl));
    if (!IsScriptTarget(target))
        m_seen.insert(PageAddress(target));
}

bool ChainMemory::leadsBack(const QString &currentUrl, const QString &target) const
{
    if (IsScriptTarget(target))
        return hasLeft(currentUrl);
    const QString address = PageAddress(target);
    return address == PageAddress(currentUrl) || m_seen.contains(address);
}

bool ChainMemory::hasLeft(const QString &url) const
{
    return m_left.contains(PageAddress(url));
}

NextLinkChoice ChooseNextLink(const LoadedPage &page, const QString &nameText, const ChainMemory &chain)
{
    NextLinkChoice choice;
    int index = FirstLinkNamed(page.document, NextLinkNames(nameText));
    if (index < 0 && nameText == StartingNextLinkName()) {
        const UsualNextLink usual = FindUsualNextLink(page);
        index = usual.index;
        if (index >= 0)
            choice.usualName = usual.name;
    }
    if (index < 0)
        return choice;
    const QString target = page.hrefs.value(index);
    if (!chain.leadsBack(page.url, target)) {
        choice.index = index;
        return choice;
    }
    // Written "#…", the link is a script link like the ones without a
    // target; the page alone knows how it was written.
    if (IsPageItselfWithFragment(page.url, target) && !chain.hasLeft(page.url)) {
        choice.index = index;
        choice.onlyIfWrittenAsFragment = true;
    }
    return choice;
}

QString NoNextLinkNotice()
{
    return QStringLiteral("   可能你没有设置当前页的下页链接名称或者设置不对，或者是网页已经提取结束了，请检查!    ");
}

} // namespace pagewick::workflow
