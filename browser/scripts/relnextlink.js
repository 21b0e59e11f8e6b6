// The first HTML link with an href whose rel holds the word "next" (any case).
//
// Called with nothing. Answer (read by scripts::parseRelNextLink): its
// position in document.all as a number, or -1 when there is none.
(function () {
  var a = document.all;
  var all = (a === undefined || a === null) ? document.getElementsByTagName('*') : a;
  for (var i = 0; i < all.length; i++) {
    var el = all[i];
    if (el.namespaceURI === 'http://www.w3.org/1999/xhtml' && el.localName === 'a'
        && el.hasAttribute('href') && /(^|\s)next(\s|$)/i.test(el.getAttribute('rel') || ''))
      return i;
  }
  return -1;
})
