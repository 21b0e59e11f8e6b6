// Drops the kept answer of a read in pieces that was abandoned.
//
// Called with the read's token (a string). Answer: true (not read).
(function (token) { var kept = window.__pagewickReads; if (kept) delete kept[token]; return true; })
