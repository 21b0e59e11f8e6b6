// The next piece of a read begun by readbegin.js.
//
// Called with (take, { token, field, offset, budget }).
//
// Answer (read by chunked::Assembler::feed): [next field, next offset, piece
// lengths, pieces] as take() gives them, or null when the kept answer is gone
// (the document has been replaced). The kept answer is dropped once done.
(function (take, p) {
'use strict';
  var kept = window.__pagewickReads;
  var out = kept ? kept[p.token] : undefined;
  if (!out) return null;
  var r = take(out, p.field, p.offset, p.budget);
  if (r[0] >= out.length) delete kept[p.token];
  return r;
})
