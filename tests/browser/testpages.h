#pragma once

#include <QString>

// Pages served to the engine tests: a chapter page of a serial-fiction site
// with the usual furniture around the chapter text.
namespace pagewick::testpages {

// charsetMeta: e.g. "<meta charset=\"utf-8\">", or empty for none.
inline QString chapterPage(const QString &charsetMeta)
{
    return QStringLiteral(
               "<!DOCTYPE html>\n"
               "<html><head>%1<title>第一章 山雨欲来_青云小说网</title>\n"
               "<style>body { font-size: 16px; } #nav > a { color: #333; }</style>\n"
               "<script>var banner = \"<div class='ad'>\" + 1 + \"</div>\";"
               " if (1 < 2 && 3 > 2) { window.pageFlag = 'x'; }</script>\n"
               "</head>\n"
               "<body>\n"
               "<div id=\"nav\" class=\"top-nav\"><a href=\"/index.html\">首页</a> | "
               "<a href=\"/list.html\">目录</a></div>\n"
               "<div id=\"sidebar\"><ul><li><a href=\"/hot1.html\">热门小说一</a></li>"
               "<li><a href=\"/hot2.html\">热门小说二</a></li></ul></div>\n"
               "<div id=\"ad\"><a href=\"http://ads.invalid/\" target=\"_blank\">"
               "<img src=\"/ad.gif\" alt=\"广告\"></a></div>\n"
               "<div id=\"content\"><p>　　山雨欲来风满楼。少年站在城头，望着远方。</p>"
               "<p>　　“你来了？”老人问道。<br>“我来了。”</p>"
               "<p>A &amp; B &lt;tag&gt; x&nbsp;y</p></div>\n"
               "<div class=\"pager\"><a href=\"/ch0.html\">上一页</a> "
               "<a id=\"next\" href=\"/ch2.html\">下一页</a></div>\n"
               "<div id=\"comments\"><p>评论：写得好！</p><!-- 评论结束 --></div>\n"
               "</body></html>\n")
        .arg(charsetMeta);
}

inline QString chapterTitle()
{
    return QStringLiteral("第一章 山雨欲来_青云小说网");
}

} // namespace pagewick::testpages
