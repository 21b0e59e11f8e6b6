// Gives an element the focus, so that a new window its click asks for is
// opened in place as the active element.
//
// Called with the element's position in document.all.
//
// Answer (read by scripts::parseFlag): true when the element was there and
// took the call; else false.
(function (index) {
  var a = document.all;
  var el = ((a === undefined || a === null) ? document.getElementsByTagName('*') : a)[index];
  if (!el || typeof el.focus !== 'function') return false;
  el.focus();
  return true;
})
