#include "browser/documentscripts.h"

#include <QJsonArray>
#include <QJsonDocument>
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
  var n = all.length, els = new Array(n), upper = new Array(n), wanted = new Array(n), i;
  for (i = 0; i < n; i++) {
    els[i] = all[i];
    upper[i] = String(els[i].tagName).toUpperCase();
    wanted[i] = EVERY || TAGS.has(upper[i]);
  }
  // Shorter than TEXT_ONLY_BELOW once trimmed of U+0020 and U+3000, each
  // LF counted as the CR LF it becomes (so never shorter than it will be).
  function isShort(t) {
    var b = 0, e = t.length;
    while (b < e && (t.charCodeAt(b) === 32 || t.charCodeAt(b) === 0x3000)) b++;
    while (e > b && (t.charCodeAt(e - 1) === 32 || t.charCodeAt(e - 1) === 0x3000)) e--;
    var length = e - b;
    if (length >= TEXT_ONLY_BELOW) return false;
    for (var j = b; j < e; j++) if (t.charCodeAt(j) === 10) length++;
    return length < TEXT_ONLY_BELOW;
  }
  // The markup of each element as a rope of its children's: built once,
  // written out only for the elements whose markup is carried.
  var html = new Array(n);
  for (i = n - 1; i >= 0; i--) html[i] = wanted[i] ? innerOf(els[i]) : '';
  var body = document.body;
  var out = new Array(4 + 4 * n);
  out[0] = document.URL;
  out[1] = document.title;
  out[2] = body !== null;
  out[3] = (body && BODY_TEXT) ? body.innerText : '';
  var total = out[3].length;
  for (i = 0; i < n; i++) {
    var el = els[i], w = wanted[i], t = w ? el.innerText : '', k = 4 + 4 * i;
    if (w && typeof t !== 'string') t = el.textContent || '';
    out[k] = el.tagName;
    out[k + 1] = t;
    out[k + 2] = (w && !(TEXT_ONLY.has(upper[i]) && isShort(t))) ? html[i] : '';
    out[k + 3] = (w && isHtml(el) && el.localName === 'a' && el.hasAttribute('href')
                  && typeof el.href === 'string') ? el.href : '';
    total += t.length + out[k + 2].length;
    // Beyond any real page: no answer rather than one that takes minutes.
    if (total > MAX_CHARS) return null;
  }
  return out;
)JS";

QString wrapped(const QString &body)
{
    return QStringLiteral("(function () {\n'use strict';\n") + body + QStringLiteral("\n})()");
}

} // namespace

QString readDocument(const DocumentParts &parts)
{
    // Only the texts of the wanted elements are worked out and carried.
    const auto jsList = [](QStringList tags) {
        for (QString &tag : tags)
            tag = tag.toUpper();
        return QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(tags)).toJson(QJsonDocument::Compact));
    };
    const QString selection =
        QStringLiteral("  var EVERY = %1, BODY_TEXT = %2, TAGS = new Set(%3), TEXT_ONLY = new Set(%4),"
                       " TEXT_ONLY_BELOW = %5, MAX_CHARS = %6;\n")
            .arg(parts.everyElement ? QStringLiteral("true") : QStringLiteral("false"),
                 parts.bodyText ? QStringLiteral("true") : QStringLiteral("false"), jsList(parts.tagNames),
                 jsList(parts.textOnlyTags))
            .arg(qMax(0, parts.textOnlyBelow))
            .arg(kMaxReadCharacters);
    return wrapped(QString::fromUtf8(kAllElements) + selection + QString::fromUtf8(kReadDocument));
}

std::optional<DocumentSnapshot> parseDocument(const QVariant &answer)
{
    if (answer.typeId() != QMetaType::QVariantList)
        return std::nullopt;
    const QVariantList list = answer.toList();
    if (list.size() < 4 || (list.size() - 4) % 4 != 0)
        return std::nullopt;
    for (qsizetype i = 0; i < list.size(); ++i) {
        const int expected = i == 2 ? QMetaType::Bool : QMetaType::QString;
        if (list.at(i).typeId() != expected)
            return std::nullopt;
    }

    DocumentSnapshot snapshot;
    snapshot.url = list.at(0).toString();
    snapshot.title = list.at(1).toString();
    snapshot.hasBody = list.at(2).toBool();
    snapshot.bodyText = toCrLf(list.at(3).toString());
    snapshot.all.reserve((list.size() - 4) / 4);
    for (qsizetype i = 4; i < list.size(); i += 4) {
        snapshot.all.push_back(Element{list.at(i).toString(), toCrLf(list.at(i + 1).toString()),
                                       list.at(i + 2).toString(), list.at(i + 3).toString()});
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
                         "    if (typeof el.focus === 'function') {\n"
                         "      try { el.focus({ preventScroll: true }); } catch (e) { }\n"
                         "    }\n"
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
