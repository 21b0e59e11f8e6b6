// Whether the document read under a stamp of readbegin.js is still there.
//
// Called with the stamp (a string).
//
// Answer (read by scripts::parseFlag): true when the document is the one
// read, with no change to its nodes, attributes or texts since; else false.
(function (stamp) {
  var w = window.__pagewickWatch;
  if (!w) return false;
  if (w.observer.takeRecords().length > 0) w.changed = true;
  return !w.changed && (w.id + ':' + w.version) === stamp;
})
