// The target of the focused element.
//
// Called with nothing. Answer (read by scripts::parseActiveElementHref): the
// href string of document.activeElement, or null when it has none.
(function () {
  var a = document.activeElement;
  return (a && typeof a.href === 'string' && a.href !== '') ? a.href : null;
})
