#include "workflow/loadfailure.h"

#include <QStringList>

namespace pagewick::workflow {

namespace {

struct NetworkError
{
    int code;
    const char16_t *words;
};

// The errors a reader meets; the others are named by their number.
constexpr NetworkError kNetworkErrors[] = {
    {-3, u"没有返回网页"},
    {-6, u"找不到文件"},
    {-7, u"超时"},
    {-21, u"网络已变化"},
    {-100, u"连接被关闭"},
    {-101, u"连接被重置"},
    {-102, u"连接被拒绝"},
    {-104, u"连接失败"},
    {-105, u"找不到服务器"},
    {-106, u"没有连接网络"},
    {-107, u"安全连接失败"},
    {-109, u"无法访问网址"},
    {-118, u"连接超时"},
    {-137, u"找不到服务器"},
    {-200, u"证书错误"},
    {-201, u"证书过期"},
    {-202, u"证书不受信任"},
    {-310, u"重定向过多"},
    {-324, u"服务器没有应答"},
    {-354, u"内容不完整"},
};

QString FailureReason(int status)
{
    if (status > 0)
        return QString::number(status);
    for (const NetworkError &e : kNetworkErrors) {
        if (e.code == status)
            return QString::fromUtf16(e.words);
    }
    // Other certificate errors lie between -200 and -299.
    if (status <= -200 && status > -300)
        return QStringLiteral("证书错误");
    return QStringLiteral("错误%1").arg(status);
}

// Titles of the challenge pages of the usual protection services, compared
// whole after trimming, and beginnings that only such pages use.
const QStringList &ChallengeTitles()
{
    static const QStringList titles{
        QStringLiteral("Just a moment..."),
        QStringLiteral("Just a moment…"),
        QStringLiteral("Please Wait... | Cloudflare"),
        QStringLiteral("Attention Required! | Cloudflare"),
        QStringLiteral("DDoS-Guard"),
        QStringLiteral("DDOS-GUARD"),
        QStringLiteral("One moment, please..."),
        QStringLiteral("Security Check"),
        QStringLiteral("请稍候…"),
        QStringLiteral("请稍候..."),
        QStringLiteral("安全验证"),
        QStringLiteral("人机验证"),
    };
    return titles;
}

const QStringList &ChallengeTitleBeginnings()
{
    static const QStringList beginnings{
        QStringLiteral("Attention Required!"),
        QStringLiteral("Checking your browser"),
        QStringLiteral("Verifying you are human"),
        QStringLiteral("Access denied | "),
    };
    return beginnings;
}

// Phrases only challenge pages show, compared ignoring case.
const QStringList &ChallengeTexts()
{
    static const QStringList texts{
        QStringLiteral("Checking your browser"),
        QStringLiteral("Checking if the site connection is secure"),
        QStringLiteral("Verifying you are human"),
        QStringLiteral("Enable JavaScript and cookies to continue"),
        QStringLiteral("DDoS protection by"),
        QStringLiteral("正在验证您是否是真人"),
        QStringLiteral("正在检查您的浏览器"),
    };
    return texts;
}

} // namespace

int FailureStatus(const PageLoad &load)
{
    switch (load.outcome) {
    case LoadOutcome::HttpError:
    case LoadOutcome::NetworkError:
    case LoadOutcome::NoResponse:
        return load.code;
    case LoadOutcome::NoPage:
    case LoadOutcome::Abandoned:
        return kNoPage;
    case LoadOutcome::Loaded:
    case LoadOutcome::StoppedAsLoaded:
        break;
    }
    return kUnreadablePage;
}

bool IsVerificationText(const QString &bodyText)
{
    for (const QString &text : ChallengeTexts()) {
        if (bodyText.contains(text, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

QString FailureDescription(int status)
{
    if (status == kUnreadablePage)
        return QStringLiteral("网页读取失败");
    return QStringLiteral("网页打开失败（%1）").arg(FailureReason(status));
}

bool IsVerificationPage(int status, const QString &title)
{
    if (status == 403)
        return true;
    if (status != 0 && status != kServiceUnavailable)
        return false;
    const QString t = title.trimmed();
    if (ChallengeTitles().contains(t))
        return true;
    for (const QString &beginning : ChallengeTitleBeginnings()) {
        if (t.startsWith(beginning))
            return true;
    }
    return false;
}

QString FailedLoadStatus(int status, const QString &address)
{
    return FailureDescription(status) + QStringLiteral("：") + address;
}

QString RetryStatus(int status, int seconds, int attempt, const QString &address)
{
    return FailureDescription(status)
        + QStringLiteral("，%1秒后第%2次重试：").arg(seconds).arg(attempt) + address;
}

QString VerificationStatus(int status, const QString &address)
{
    const QString code = status > 0 ? QStringLiteral("（%1）").arg(status) : QString();
    return QStringLiteral("网页需要验证%1，请在浏览器中完成验证，通过后自动继续：").arg(code) + address;
}

QString GaveUpNotice(int status, int retries, const QString &address)
{
    return QStringLiteral("   ") + FailureDescription(status)
        + QStringLiteral("，重试%1次仍未成功，自动提取到此停止：\n%2\n"
                         "等网站恢复后，把这个网址填入起始页网址，按“转到”就可以接着提取。    ")
              .arg(retries)
              .arg(address);
}

} // namespace pagewick::workflow
