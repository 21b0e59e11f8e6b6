// Reads the top-level document in one piece.
//
// Called with the parts wanted: { every: bool, bodyText: bool, tags: [upper
// case names read in full], textOnly: [names], textOnlyBelow: int, maxChars:
// int, measured: [names], carry: [min trimmed length, min text length, min
// tag count, max hyphens, max link count, min mark count] }.
//
// Answer (read by scripts::parseDocument): one flat array of
//   url, title, whether there is a body (bool), the body's innerText (empty
//   without one or when not asked for),
// then for each element of document.all, in order, 5 strings:
//   tagName, innerText, innerHTML, href, measures
// where href is the resolved target of an HTML A element with an href (else
// empty) and measures is empty or the 8 counts of TextMeasures,
// comma-separated: trimmed length, length, "-", Chinese marks, Western marks,
// ">", "<a", "</P>". Elements outside the parts come with their tag name
// alone. An answer that would exceed maxChars characters is null instead.
// (A flat array of strings crosses over faster than the same data as JSON.)
(function (p) {
'use strict';
var EVERY = p.every, BODY_TEXT = p.bodyText, TAGS = new Set(p.tags), TEXT_ONLY = new Set(p.textOnly),
    TEXT_ONLY_BELOW = p.textOnlyBelow, MAX_CHARS = p.maxChars, MEASURED = new Set(p.measured),
    CARRY = p.carry;
  // document.all is "undefined-like" for typeof and ==, so it is compared with
  // === before the fallback (XML documents may lack it).
  function allElements() {
    var a = document.all;
    return (a === undefined || a === null) ? document.getElementsByTagName('*') : a;
  }
  // The counts of a measured read. Markup counts are made on the markup the
  // serializer below would write, without writing it: text outside raw-text
  // elements is escaped and so holds no "<" or ">", every other piece begins
  // with "<" and ends with ">", so no counted pattern spans two pieces except
  // within a run of raw text, which is counted as one.
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
  // innerHTML of every element in one pass. Each element's markup is built
  // from its children's, which are done first because document.all is walked
  // backwards (descendants follow their ancestor in document order), so the
  // work is the size of the output and no deep recursion happens. Serialization
  // follows the engine's own rules (HTML fragment serialization), with tag names
  // in upper case: attribute values escape & " and no-break space, text escapes
  // & < > and no-break space, text inside raw-text elements is left as it is,
  // void elements get no end tag, a template serializes its content.
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
})
