// Begins a read of the document in pieces: builds readdocument.js's answer
// once, keeps it under a fresh token in the program's own script world
// (which the page's scripts cannot reach) unless it fits at once, and hands
// over the first piece.
//
// Called with (readDocument, take, { budget: characters per piece, parts:
// readDocument's argument }).
//
// Answer (read by chunked::Assembler::begin): [token ("" when nothing is
// kept), field count, stamp, next field, next offset, piece lengths, pieces],
// the last four as take() gives them. The stamp names the document as it was
// read: the same stamp, and no change to its nodes, attributes or texts
// recorded since (unchangedsince.js), means the document is unchanged. The
// watch lives in the program's script world, which a new document replaces,
// so a stamp never outlives its document.
(function (readDocument, take, p) {
'use strict';
  function watchStamp() {
    var w = window.__pagewickWatch;
    if (!w) {
      w = window.__pagewickWatch = {
        id: String(Date.now()) + '-' + String(Math.random()).slice(2), version: 0, changed: false
      };
      w.observer = new MutationObserver(function () { w.changed = true; });
      w.observer.observe(document, { subtree: true, childList: true, attributes: true,
                                     characterData: true });
    } else {
      w.observer.takeRecords();
    }
    w.changed = false;
    w.version += 1;
    return w.id + ':' + w.version;
  }
  var stamp = watchStamp();
  var out = readDocument(p.parts);
  var r = take(out, 0, 0, p.budget);
  var token = '';
  if (r[0] < out.length) {
    var kept = window.__pagewickReads || (window.__pagewickReads = {});
    token = String(Date.now()) + '-' + String(Math.random()).slice(2);
    kept[token] = out;
  }
  return [token, out.length, stamp].concat(r);
})
