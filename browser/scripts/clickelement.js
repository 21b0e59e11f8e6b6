// Clicks an element, focused first as a user's click would (so a link
// opening a new window is the active element its handler can read).
//
// Called with the element's position in document.all.
//
// Answer (read by scripts::parseFlag): true when the element existed and its
// click() did not throw; else false.
(function (index) {
'use strict';
  var a = document.all;
  var el = ((a === undefined || a === null) ? document.getElementsByTagName('*') : a)[index];
  try {
    if (!el || typeof el.click !== 'function') return false;
    if (typeof el.focus === 'function') {
      try { el.focus({ preventScroll: true }); } catch (e) { }
    }
    el.click();
    return true;
  } catch (e) { return false; }
})
