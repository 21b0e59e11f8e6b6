// Clicks the link a read found, only while it is still there.
//
// Called with { index: position in document.all, expected: [tagName, href,
// innerText] as readDocument answers them, onlyFragment: bool }. The element
// is taken as readDocument takes it (target of an HTML A element with an
// href, text with lone surrogate halves as U+FFFD and its breaks as CR LF)
// and clicked only when it is still that link, and, with onlyFragment, when
// its written target starts with "#". It is focused first, as a user's click
// would (so a link opening a new window is the active element).
//
// Answer (read by scripts::parseClickLink): "clicked", "changed" (another
// element is there now), "page" (the written target names a page) or
// "failed". A followed link may replace the document before the answer
// comes; the wait then ends with true.
(function (p) {
'use strict';
var INDEX = p.index, EXPECTED = p.expected, ONLY_FRAGMENT = p.onlyFragment;
  function allElements() {
    var a = document.all;
    return (a === undefined || a === null) ? document.getElementsByTagName('*') : a;
  }
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
})
