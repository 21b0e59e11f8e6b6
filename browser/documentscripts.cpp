#include "browser/documentscripts.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QVariantList>

namespace pagewick::browser::scripts {

namespace {

// document.all is "undefined-like" for typeof and ==, so it is compared with
// === before the fallback (XML documents may lack it).
const char kAllElements[] = R"JS(
  function allElements() {
    var a = document.all;
    return (a === undefined || a === null) ? document.getElementsByTagName('*') : a;
  }
)JS";

// innerHTML of every element in one pass. Each element's markup is built
// from its children's, which are done first because document.all is walked
// backwards (descendants follow their ancestor in document order), so the
// work is the size of the output and no deep recursion happens. Serialization
// follows the engine's own rules (HTML fragment serialization), with tag names
// in upper case: attribute values escape & " and no-break space, text escapes
// & < > and no-break space, text inside raw-text elements is left as it is,
// void elements get no end tag, a template serializes its content.
const char kReadDocument[] = R"JS(
  var HTML_NS = 'http://www.w3.org/1999/xhtml';
  var SVG_NS = 'http://www.w3.org/2000/svg';
  var MATHML_NS = 'http://www.w3.org/1998/Math/MathML';
  var VOID = new Set(['area', 'base', 'basefont', 'bgsound', 'br', 'col', 'embed', 'frame',
                      'hr', 'img', 'input', 'keygen', 'link', 'meta', 'param', 'source',
                      'track', 'wbr']);
  var RAW = new Set(['style', 'script', 'xmp', 'iframe', 'noembed', 'noframes',
                     'plaintext', 'noscript']);
  var TEXT_SPECIAL = /[&<>\u00A0]/;
  var ATTR_SPECIAL = /[&"\u00A0]/;
  function escapeText(s) {
    if (!TEXT_SPECIAL.test(s)) return s;
    return s.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;')
            .replace(/\u00A0/g, '&nbsp;');
  }
  function escapeAttr(s) {
    if (!ATTR_SPECIAL.test(s)) return s;
    return s.replace(/&/g, '&amp;').replace(/"/g, '&quot;').replace(/\u00A0/g, '&nbsp;');
  }
  function isHtml(el) { return el.namespaceURI === HTML_NS; }
  function markupName(el) {
    var ns = el.namespaceURI;
    var name = (ns === HTML_NS || ns === SVG_NS || ns === MATHML_NS) ? el.localName : el.tagName;
    return name.toUpperCase();
  }
  var inner = new Map();
  function childMarkup(parent, container) {
    var raw = isHtml(parent) && RAW.has(parent.localName);
    var out = '';
    for (var c = container.firstChild; c !== null; c = c.nextSibling) {
      switch (c.nodeType) {
      case 1: out += outerOf(c); break;
      case 3: out += raw ? c.data : escapeText(c.data); break;
      case 4: out += '<![CDATA[' + c.data + ']]>'; break;
      case 7: out += '<?' + c.target + ' ' + c.data + '>'; break;
      case 8: out += '<!--' + c.data + '-->'; break;
      case 10: out += '<!DOCTYPE ' + c.name + '>'; break;
      }
    }
    return out;
  }
  function innerOf(el) {
    var v = inner.get(el);
    if (v === undefined) {
      var content = (isHtml(el) && el.localName === 'template' && el.content) ? el.content : el;
      v = childMarkup(el, content);
      inner.set(el, v);
    }
    return v;
  }
  function outerOf(el) {
    var name = markupName(el);
    var s = '<' + name;
    var attrs = el.attributes;
    for (var i = 0; i < attrs.length; i++)
      s += ' ' + attrs[i].name + '="' + escapeAttr(attrs[i].value) + '"';
    s += '>';
    if (isHtml(el) && VOID.has(el.localName)) return s;
    return s + innerOf(el) + '</' + name + '>';
  }
  var all = allElements();
  var n = all.length, els = new Array(n), i;
  for (i = 0; i < n; i++) els[i] = all[i];
  var html = new Array(n);
  for (i = n - 1; i >= 0; i--) html[i] = innerOf(els[i]);
  var e = new Array(4 * n);
  for (i = 0; i < n; i++) {
    var el = els[i], t = el.innerText;
    e[4 * i] = el.tagName;
    e[4 * i + 1] = (typeof t === 'string') ? t : (el.textContent || '');
    e[4 * i + 2] = html[i];
    e[4 * i + 3] = (isHtml(el) && el.localName === 'a' && el.hasAttribute('href')
                    && typeof el.href === 'string') ? el.href : '';
  }
  var body = document.body;
  return JSON.stringify({ u: document.URL, t: document.title,
                          b: body ? body.innerText : null, e: e });
)JS";

QString wrapped(const QString &body)
{
    return QStringLiteral("(function () {\n'use strict';\n") + body + QStringLiteral("\n})()");
}

std::optional<QString> stringAt(const QJsonArray &a, qsizetype i)
{
    const QJsonValue v = a.at(i);
    if (!v.isString())
        return std::nullopt;
    return v.toString();
}

} // namespace

QString readDocument()
{
    return wrapped(QString::fromUtf8(kAllElements) + QString::fromUtf8(kReadDocument));
}

std::optional<DocumentSnapshot> parseDocument(const QVariant &answer)
{
    if (answer.typeId() != QMetaType::QString)
        return std::nullopt;
    QJsonParseError error;
    const QJsonDocument json = QJsonDocument::fromJson(answer.toString().toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !json.isObject())
        return std::nullopt;
    const QJsonObject o = json.object();
    const QJsonValue url = o.value(QLatin1String("u"));
    const QJsonValue title = o.value(QLatin1String("t"));
    const QJsonValue body = o.value(QLatin1String("b"));
    const QJsonValue elements = o.value(QLatin1String("e"));
    if (!url.isString() || !title.isString() || !(body.isString() || body.isNull())
        || !elements.isArray())
        return std::nullopt;
    const QJsonArray e = elements.toArray();
    if (e.size() % 4 != 0)
        return std::nullopt;

    DocumentSnapshot snapshot;
    snapshot.url = url.toString();
    snapshot.title = title.toString();
    snapshot.hasBody = body.isString();
    snapshot.bodyText = toCrLf(body.toString());
    snapshot.all.reserve(e.size() / 4);
    for (qsizetype i = 0; i < e.size(); i += 4) {
        const auto tag = stringAt(e, i);
        const auto text = stringAt(e, i + 1);
        const auto html = stringAt(e, i + 2);
        const auto href = stringAt(e, i + 3);
        if (!tag || !text || !html || !href)
            return std::nullopt;
        snapshot.all.push_back(Element{*tag, toCrLf(*text), *html, *href});
    }
    return snapshot;
}

QString readTitle()
{
    return QStringLiteral("[document.title]");
}

std::optional<QString> parseTitle(const QVariant &answer)
{
    const QVariantList list = answer.toList();
    if (answer.typeId() != QMetaType::QVariantList || list.size() != 1
        || list.at(0).typeId() != QMetaType::QString)
        return std::nullopt;
    return list.at(0).toString();
}

QString readBodyText()
{
    return QStringLiteral("(function () { var b = document.body; return b ? [b.innerText] : []; })()");
}

std::optional<QString> parseBodyText(const QVariant &answer)
{
    const auto text = parseTitle(answer);
    if (!text)
        return std::nullopt;
    return toCrLf(*text);
}

QString readActiveElementHref()
{
    return QStringLiteral(
        "(function () { var a = document.activeElement;"
        " return (a && typeof a.href === 'string' && a.href !== '') ? a.href : null; })()");
}

std::optional<QString> parseActiveElementHref(const QVariant &answer)
{
    if (answer.typeId() != QMetaType::QString || answer.toString().isEmpty())
        return std::nullopt;
    return answer.toString();
}

QString clickElement(int index)
{
    const QString body = QString::fromUtf8(kAllElements)
        + QStringLiteral("  try {\n"
                         "    var el = allElements()[%1];\n"
                         "    if (!el || typeof el.click !== 'function') return false;\n"
                         "    el.click();\n"
                         "    return true;\n"
                         "  } catch (e) { return false; }\n")
              .arg(index);
    return wrapped(body);
}

QString guardedTopLevel(const QString &code)
{
    // Not wrapped in a function: declarations in code must land in the page's
    // global scope, as they would in a script element. The completion value
    // of the try statement is the answer.
    return QStringLiteral("try {\n") + code + QStringLiteral("\n;true\n} catch (e) { false }");
}

QString guardedDocumentStart(const QString &code)
{
    return QStringLiteral("try {\n") + code + QStringLiteral("\n} catch (e) { }");
}

QString toCrLf(const QString &engineText)
{
    const qsizetype lfCount = engineText.count(QLatin1Char('\n'));
    if (lfCount == 0)
        return engineText;
    QString out;
    out.reserve(engineText.size() + lfCount);
    QChar previous;
    for (const QChar c : engineText) {
        if (c == QLatin1Char('\n') && previous != QLatin1Char('\r'))
            out += QLatin1Char('\r');
        out += c;
        previous = c;
    }
    return out;
}

} // namespace pagewick::browser::scripts
