#include "workflow/chainsummary.h"

#include "workflow/bookend.h"

namespace pagewick::workflow {

void ChainTally::add(LedgerStatus status, bool ledgerWritten)
{
    switch (status) {
    case LedgerStatus::Saved:
        ++m_saved;
        break;
    case LedgerStatus::Empty:
        ++m_empty;
        break;
    case LedgerStatus::Repeat:
        ++m_repeat;
        break;
    case LedgerStatus::SaveFailed:
    case LedgerStatus::LoadFailed:
    case LedgerStatus::ReadFailed:
        ++m_failed;
        break;
    case LedgerStatus::BookEnd:
        m_bookEnd = true;
        break;
    }
    m_ledgerFailed = m_ledgerFailed || !ledgerWritten;
}

QString ChainTally::summary() const
{
    if (pages() == 0)
        return {};
    const QString where = m_ledgerFailed
                              ? QStringLiteral("（记录文件 %1 有的行无法写入）").arg(LedgerFileName())
                              : QStringLiteral("（详见 %1）").arg(LedgerFileName());
    return QStringLiteral("本次提取 %1 页：已保存 %2，空白 %3，重复 %4，失败 %5")
               .arg(pages())
               .arg(m_saved)
               .arg(m_empty)
               .arg(m_repeat)
               .arg(m_failed)
           + (m_bookEnd ? QStringLiteral("，") + BookEndText() : QString()) + where;
}

} // namespace pagewick::workflow
