// One step of a silent chain in the page: reads the document as readbegin.js
// does and, when the whole answer came in that one piece, chooses the
// next-page link by the chain's rules and clicks it, so that the next page
// is on its way before the answer has crossed over. The rules are those of
// ChooseNextLink (workflow/nextlink.cpp) and FindUsualNextLink
// (workflow/usualnextlink.cpp); the program checks the choice against them
// and calls the load off when they differ.
//
// Called with (readBegin, readDocument, take, { read: readbegin.js's
// argument, rules: { names: [the box's names in order], usualNames: [the
// usual names in order] or null when only the box's names count, seen:
// [addresses the chain followed links to or from], left: [addresses it
// moved on from] } }), the addresses without their fragment.
//
// Answer (read by scripts::parseStep): readbegin.js's answer, then
//   the position in document.all of the link chosen (-1 for none),
//   whether it was chosen only as written "#..." (bool),
//   the usual name it was found by (null when by a name of the box, "" for
//     rel="next"),
//   the click's outcome: "clicked", "page" (the written target names a
//     page), "failed", or "" when nothing was clicked,
//   the position of the first link marked rel="next" (-1 for none, or when
//     the rules did not come to it).
(function (readBegin, readDocument, take, p) {
'use strict';
  var HTML_NS = 'http://www.w3.org/1999/xhtml', r = p.rules;
  var out = null;
  var answer = readBegin(function (parts) { out = readDocument(parts); return out; }, take, p.read);
  function allElements() {
    var a = document.all;
    return (a === undefined || a === null) ? document.getElementsByTagName('*') : a;
  }
  var all = allElements();
  function relNext() {
    for (var i = 0; i < all.length; i++) {
      var el = all[i];
      if (el.namespaceURI === HTML_NS && el.localName === 'a' && el.hasAttribute('href')
          && /(^|\s)next(\s|$)/i.test(el.getAttribute('rel') || ''))
        return i;
    }
    return -1;
  }
  // Looked for only where the rules come to it.
  var relIndex = -1;
  // A read kept in the page for more round trips, or none at all: the
  // program goes on the usual way.
  if (answer[0] !== '' || out === null || !Array.isArray(out))
    return answer.concat([-1, false, null, '', -1]);

  var count = (out.length - 4) / 5;
  function tagOf(i) { return out[4 + 5 * i]; }
  function textOf(i) { return out[5 + 5 * i]; }
  function htmlOf(i) { return out[6 + 5 * i]; }
  function hrefOf(i) { return out[7 + 5 * i]; }
  function isLink(i) { return String(tagOf(i)).toUpperCase() === 'A'; }

  function firstLinkNamed(name) {
    if (name === '') return -1;
    for (var i = 0; i < count; i++) {
      if (isLink(i) && (htmlOf(i).indexOf(name) >= 0 || textOf(i).indexOf(name) >= 0)) return i;
    }
    return -1;
  }

  // QChar::isSpace and isLetterOrNumber, which the program's rules use.
  var SPACES = /[\t\n\v\f\r \u0085\u00a0\u1680\u2000-\u200a\u2028\u2029\u202f\u205f\u3000]+/g;
  var WORD = /[\p{L}\p{N}_]/u;
  function isWord(c) { return c !== undefined && WORD.test(c); }
  function decodeReferences(text) {
    if (text.indexOf('&') < 0) return text;
    return text.replace(/&(#[0-9]+|#[xX][0-9a-fA-F]+|[a-zA-Z]+);/g, function (whole, body) {
      if (body.charAt(0) === '#') {
        var hex = body.length > 1 && (body.charAt(1) === 'x' || body.charAt(1) === 'X');
        var digits = hex ? body.slice(2) : body.slice(1);
        var code = parseInt(digits, hex ? 16 : 10);
        if (!(code > 0 && code <= 0x10FFFF)) return whole;
        return String.fromCodePoint(code);
      }
      var named = { amp: '&', lt: '<', gt: '>', quot: '"', nbsp: ' ' }[body];
      return named === undefined ? whole : named;
    });
  }
  function readerText(i) {
    var html = htmlOf(i);
    var text = html === '' ? textOf(i) : decodeReferences(html.replace(/<[^>]*>/g, ' '));
    return text.replace(SPACES, ' ').replace(/^ /, '').replace(/ $/, '');
  }
  // Occurrences of phrase in any (ASCII) case, overlapping ones included.
  function occurrences(text, phrase, each) {
    var lower = phrase.toLowerCase(), n = phrase.length;
    for (var at = 0; at + n <= text.length; at++) {
      if (text.substr(at, n).toLowerCase() === lower && each(at, at + n)) return true;
    }
    return false;
  }
  var OTHER_WORKS = ['work', 'story', 'book'];
  function hasNextAsWord(text) {
    return occurrences(text, 'next', function (at, end) {
      if ((at > 0 && isWord(text.charAt(at - 1))) || (end < text.length && isWord(text.charAt(end))))
        return false;
      var start = end;
      while (start < text.length && text.charAt(start) === ' ') start++;
      var stop = start;
      while (stop < text.length && isWord(text.charAt(stop))) stop++;
      return OTHER_WORKS.indexOf(text.slice(start, stop).toLowerCase()) < 0;
    });
  }
  function hasPhrase(text, phrase) {
    return occurrences(text, phrase, function (at, end) {
      return (at === 0 || !isWord(text.charAt(at - 1))) && (end === text.length || !isWord(text.charAt(end)));
    });
  }
  function bearsUsualName(i, reader, name) {
    if (name === '') return false;
    if (name.charCodeAt(0) >= 0x80)
      return reader.indexOf(name) >= 0 || textOf(i).indexOf(name) >= 0 || htmlOf(i).indexOf(name) >= 0;
    return name === 'Next' ? hasNextAsWord(reader) : hasPhrase(reader, name);
  }
  function usualLink(names) {
    var links = [], texts = [];
    for (var i = 0; i < count; i++) {
      if (isLink(i)) { links.push(i); texts.push(readerText(i)); }
    }
    for (var n = 0; n < names.length; n++) {
      for (var k = 0; k < links.length; k++) {
        if (bearsUsualName(links[k], texts[k], names[n])) return { index: links[k], name: names[n] };
      }
    }
    relIndex = relNext();
    return { index: relIndex, name: '' };
  }

  function pageAddress(url) {
    try { var u = new URL(url); u.hash = ''; return u.href; } catch (e) { return url; }
  }
  var seen = new Set(r.seen), left = new Set(r.left);
  function isScriptTarget(target) { return target === '' || /^javascript:/i.test(target); }
  function leadsBack(current, target) {
    if (isScriptTarget(target)) return left.has(pageAddress(current));
    var address = pageAddress(target);
    return address === pageAddress(current) || seen.has(address);
  }

  function choose() {
    var index = -1, usual = null;
    for (var n = 0; n < r.names.length && index < 0; n++) index = firstLinkNamed(r.names[n]);
    if (index < 0 && r.usualNames) {
      var found = usualLink(r.usualNames);
      index = found.index;
      if (index >= 0) usual = found.name;
    }
    if (index < 0) return null;
    var target = hrefOf(index), current = out[0];
    if (!leadsBack(current, target)) return { index: index, fragment: false, usual: usual };
    if (target.indexOf('#') >= 0 && pageAddress(target) === pageAddress(current) && !left.has(pageAddress(current)))
      return { index: index, fragment: true, usual: usual };
    return null;
  }

  var choice = choose();
  if (choice === null) return answer.concat([-1, false, null, '', relIndex]);
  var outcome = 'failed';
  try {
    var el = all[choice.index];
    if (choice.fragment && String(el.getAttribute('href')).replace(/^[\u0000-\u0020]+/, '').charAt(0) !== '#') {
      outcome = 'page';
    } else if (typeof el.click === 'function') {
      if (typeof el.focus === 'function') {
        try { el.focus({ preventScroll: true }); } catch (e) { }
      }
      el.click();
      outcome = 'clicked';
    }
  } catch (e) { outcome = 'failed'; }
  return answer.concat([choice.index, choice.fragment, choice.usual, outcome, relIndex]);
})
