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
  var n = all.length, els = new Array(n), tags = new Array(n), upper = new Array(n),
      wanted = new Array(n), measured = new Array(n), anyMeasured = false, i;
  for (i = 0; i < n; i++) {
    els[i] = all[i];
    tags[i] = els[i].tagName;
    upper[i] = String(tags[i]).toUpperCase();
    measured[i] = MEASURED.has(upper[i]);
    wanted[i] = !measured[i] && (EVERY || TAGS.has(upper[i]));
    if (measured[i]) anyMeasured = true;
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
  var counts = null;
  if (anyMeasured) {
    counts = new Array(n);
    for (i = n - 1; i >= 0; i--) counts[i] = markupCounts(els[i]);
  }
  var body = document.body;
  var out = new Array(4 + 5 * n);
  out[0] = document.URL;
  out[1] = document.title;
  out[2] = body !== null;
  out[3] = (body && BODY_TEXT) ? body.innerText : '';
  var total = out[3].length;
  for (i = 0; i < n; i++) {
    var el = els[i], w = wanted[i], m = measured[i], k = 4 + 5 * i;
    var t = (w || m) ? el.innerText : '';
    if ((w || m) && typeof t !== 'string') t = el.textContent || '';
    out[k] = tags[i];
    out[k + 4] = '';
    if (m) {
      var v = measureText(t, counts[i]);
      out[k + 4] = v.join(',');
      if (!carried(v)) t = '';
    }
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

// The counts of a measured read. Markup counts are made on the markup the
// serializer above would write, without writing it: text outside raw-text
// elements is escaped and so holds no "<" or ">", every other piece begins
// with "<" and ends with ">", so no counted pattern spans two pieces except
// within a run of raw text, which is counted as one.
const char kMeasures[] = R"JS(
  // [">", "<a", "</P>"] in s, added to acc.
  function countMarkup(s, acc) {
    var k = -1;
    while ((k = s.indexOf('>', k + 1)) !== -1) acc[0]++;
    k = -1;
    while ((k = s.indexOf('<', k + 1)) !== -1) {
      var c = s.charCodeAt(k + 1);
      if (c === 97) acc[1]++;
      else if (c === 47 && s.charCodeAt(k + 2) === 80 && s.charCodeAt(k + 3) === 62) acc[2]++;
    }
  }
  var innerCounts = new Map();
  // The tag names are written in upper case, so "<NAME" and "</NAME>" hold
  // no "<a", one ">" each, and "</P>" only for a P; the attributes hold what
  // their names and values hold, escaping adding or removing none of the three.
  function addOuterCounts(el, acc) {
    var attrs = el.attributes;
    for (var i = 0; i < attrs.length; i++) {
      var a = attrs[i];
      countMarkup(a.name, acc);
      countMarkup(a.value, acc);
    }
    acc[0]++;
    if (isHtml(el) && VOID.has(el.localName)) return;
    var inner = markupCounts(el);
    acc[0] += inner[0] + 1; acc[1] += inner[1]; acc[2] += inner[2];
    if (markupName(el) === 'P') acc[2]++;
  }
  function markupCounts(el) {
    var v = innerCounts.get(el);
    if (v !== undefined) return v;
    var content = (isHtml(el) && el.localName === 'template' && el.content) ? el.content : el;
    var raw = isHtml(el) && RAW.has(el.localName);
    var acc = [0, 0, 0], run = '';
    for (var c = content.firstChild; c !== null; c = c.nextSibling) {
      var type = c.nodeType;
      if (type === 3) {
        if (raw) run += c.data;
        continue;
      }
      if (run !== '') { countMarkup(run, acc); run = ''; }
      switch (type) {
      case 1: addOuterCounts(c, acc); break;
      case 4: countMarkup('<![CDATA[' + c.data + ']]>', acc); break;
      case 7: countMarkup('<?' + c.target + ' ' + c.data + '>', acc); break;
      case 8: countMarkup('<!--' + c.data + '-->', acc); break;
      case 10: countMarkup('<!DOCTYPE ' + c.name + '>', acc); break;
      }
    }
    if (run !== '') countMarkup(run, acc);
    innerCounts.set(el, acc);
    return acc;
  }
  // [trimmed length, length, "-", Chinese marks, Western marks, ">", "<a",
  // "</P>"], lengths with each LF counted as the CR LF it becomes.
  function measureText(t, markup) {
    var n = t.length, breaks = 0, hyphens = 0, chinese = 0, western = 0, previous = 0;
    for (var j = 0; j < n; j++) {
      var c = t.charCodeAt(j);
      if (c === 10) { if (previous !== 13) breaks++; }
      else if (c === 45) hyphens++;
      else if (c === 0xFF0C || c === 0x3002) chinese++;
      else if (c === 44 || c === 46) western++;
      previous = c;
    }
    var b = 0, e = n;
    while (b < e && (t.charCodeAt(b) === 32 || t.charCodeAt(b) === 0x3000)) b++;
    while (e > b && (t.charCodeAt(e - 1) === 32 || t.charCodeAt(e - 1) === 0x3000)) e--;
    return [e - b + breaks, n + breaks, hyphens, chinese, western, markup[0], markup[1], markup[2]];
  }
  function carried(v) {
    return v[0] >= CARRY[0] && v[1] >= CARRY[1] && v[5] >= CARRY[2] && v[2] <= CARRY[3]
        && v[6] <= CARRY[4] && (v[3] >= CARRY[5] || v[4] >= CARRY[5] || v[7] >= CARRY[5]);
  }
)JS";

// The element at INDEX is taken as readDocument() takes it (target of an
// HTML A element with an href, text with lone surrogate halves as U+FFFD and
// its breaks as CR LF) and clicked only when it is still the link EXPECTED
// describes, so that a page changed since the read is never clicked blindly.
const char kClickLink[] = R"JS(
  try {
    var el = allElements()[INDEX];
    if (!el) return 'changed';
    var isLink = el.namespaceURI === 'http://www.w3.org/1999/xhtml' && el.localName === 'a';
    var href = (isLink && el.hasAttribute('href') && typeof el.href === 'string') ? el.href : '';
    var text = el.innerText;
    if (typeof text !== 'string') text = el.textContent || '';
    text = text.replace(/[\uD800-\uDBFF](?![\uDC00-\uDFFF])|(?<![\uD800-\uDBFF])[\uDC00-\uDFFF]/g, '\uFFFD')
               .replace(/\r?\n/g, '\r\n');
    if (String(el.tagName) !== EXPECTED[0] || href !== EXPECTED[1] || text !== EXPECTED[2])
      return 'changed';
    // A URL may carry blanks and control characters around it.
    if (ONLY_FRAGMENT && String(el.getAttribute('href')).replace(/^[\u0000-\u0020]+/, '').charAt(0) !== '#')
      return 'page';
    if (typeof el.click !== 'function') return 'failed';
    if (typeof el.focus === 'function') {
      try { el.focus({ preventScroll: true }); } catch (e) { }
    }
    el.click();
    return 'clicked';
  } catch (e) { return 'failed'; }
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
    const CarryBounds &c = parts.carryBounds;
    const QString selection =
        QStringLiteral("  var EVERY = %1, BODY_TEXT = %2, TAGS = new Set(%3), TEXT_ONLY = new Set(%4),"
                       " TEXT_ONLY_BELOW = %5, MAX_CHARS = %6, MEASURED = new Set(%7),"
                       " CARRY = [%8];\n")
            .arg(parts.everyElement ? QStringLiteral("true") : QStringLiteral("false"),
                 parts.bodyText ? QStringLiteral("true") : QStringLiteral("false"), jsList(parts.tagNames),
                 jsList(parts.textOnlyTags))
            .arg(qMax(0, parts.textOnlyBelow))
            .arg(kMaxReadCharacters)
            .arg(jsList(parts.measuredTags),
                 QStringList{QString::number(c.minTrimmedLength), QString::number(c.minTextLength),
                             QString::number(c.minTagCount), QString::number(c.maxHyphens),
                             QString::number(c.maxLinkCount), QString::number(c.minMarkCount)}
                     .join(QLatin1Char(',')));
    return wrapped(QString::fromUtf8(kAllElements) + selection + QString::fromUtf8(kMeasures)
                   + QString::fromUtf8(kReadDocument));
}

std::optional<DocumentSnapshot> parseDocument(const QVariant &answer)
{
    if (answer.typeId() != QMetaType::QVariantList)
        return std::nullopt;
    const QVariantList list = answer.toList();
    if (list.size() < 4 || (list.size() - 4) % kElementFields != 0)
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
    snapshot.all.reserve((list.size() - 4) / kElementFields);
    for (qsizetype i = 4; i < list.size(); i += kElementFields) {
        std::optional<TextMeasures> measures;
        const QString measureList = list.at(i + 4).toString();
        if (!measureList.isEmpty()) {
            measures = parseMeasures(measureList);
            if (!measures)
                return std::nullopt;
        }
        snapshot.all.push_back(Element{list.at(i).toString(), toCrLf(list.at(i + 1).toString()),
                                       list.at(i + 2).toString(), list.at(i + 3).toString(), measures});
    }
    return snapshot;
}

std::optional<TextMeasures> parseMeasures(QStringView text)
{
    qsizetype values[8] = {};
    qsizetype k = 0;
    for (const QStringView item : text.split(QLatin1Char(','))) {
        bool ok = false;
        const qlonglong v = item.toLongLong(&ok);
        if (!ok || v < 0 || k >= 8)
            return std::nullopt;
        values[k++] = qsizetype(v);
    }
    if (k != 8)
        return std::nullopt;
    TextMeasures m;
    m.trimmedLength = values[0];
    m.textLength = values[1];
    m.hyphens = values[2];
    m.chineseMarks = values[3];
    m.westernMarks = values[4];
    m.tagCount = values[5];
    m.linkCount = values[6];
    m.paragraphMarks = values[7];
    // The trimmed text is part of the text.
    if (m.trimmedLength > m.textLength)
        return std::nullopt;
    return m;
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

QString readRetryAfter()
{
    // Synchronous, so that the answer is the script's own; the page is an
    // error page of the site, so the request is of its own origin.
    return wrapped(QStringLiteral("  try {\n"
                                  "    var x = new XMLHttpRequest();\n"
                                  "    x.open('HEAD', document.URL, false);\n"
                                  "    x.send();\n"
                                  "    return x.getResponseHeader('Retry-After');\n"
                                  "  } catch (e) { return null; }\n"));
}

std::optional<QString> parseRetryAfter(const QVariant &answer)
{
    if (answer.typeId() != QMetaType::QString || answer.toString().trimmed().isEmpty())
        return std::nullopt;
    return answer.toString().trimmed();
}

QString readRelNextLink()
{
    return wrapped(QString::fromUtf8(kAllElements)
                   + QStringLiteral("  var all = allElements();\n"
                                    "  for (var i = 0; i < all.length; i++) {\n"
                                    "    var el = all[i];\n"
                                    "    if (el.namespaceURI === 'http://www.w3.org/1999/xhtml' && el.localName === 'a'\n"
                                    "        && el.hasAttribute('href') && /(^|\\s)next(\\s|$)/i.test(el.getAttribute('rel') || ''))\n"
                                    "      return i;\n"
                                    "  }\n"
                                    "  return -1;\n"));
}

std::optional<int> parseRelNextLink(const QVariant &answer)
{
    if (answer.typeId() != QMetaType::Int && answer.typeId() != QMetaType::Double
        && answer.typeId() != QMetaType::LongLong)
        return std::nullopt;
    return answer.toInt();
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

QString clickLink(int index, const LinkCheck &check)
{
    const QJsonArray expected{check.tagName, check.href, check.innerText};
    const QString settings = QStringLiteral("  var INDEX = %1, EXPECTED = %2, ONLY_FRAGMENT = %3;\n")
                                 .arg(index)
                                 .arg(QString::fromUtf8(QJsonDocument(expected).toJson(QJsonDocument::Compact)),
                                      check.onlyIfWrittenAsFragment ? QStringLiteral("true")
                                                                    : QStringLiteral("false"));
    return wrapped(QString::fromUtf8(kAllElements) + settings + QString::fromUtf8(kClickLink));
}

ClickOutcome parseClickLink(const QVariant &answer)
{
    // A followed link may replace the document before the answer comes:
    // the wait then ends as succeeded with true.
    if (answer.typeId() == QMetaType::Bool)
        return answer.toBool() ? ClickOutcome::Clicked : ClickOutcome::Failed;
    const QString word = answer.toString();
    if (word == QLatin1String("clicked"))
        return ClickOutcome::Clicked;
    if (word == QLatin1String("changed"))
        return ClickOutcome::Changed;
    if (word == QLatin1String("page"))
        return ClickOutcome::WrittenAsPage;
    return ClickOutcome::Failed;
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
