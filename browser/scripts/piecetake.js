// The piece-taking function of a read in pieces; not run on its own but
// handed to readbegin.js and readchunk.js.
//
// take(out, field, offset, budget): the pieces of the array `out` from
// `field`/`offset` on, about `budget` characters of them: whole fields while
// they fit, then the start of the next one. A surrogate pair is never cut,
// and a lone half (which would not survive the crossing) becomes U+FFFD, so
// every piece keeps its length. Each piece also counts a little on its own,
// so a chunk of many tiny fields stays small. A field that is not a string
// (the body flag) crosses as "1" or "".
//
// Returns [next field, next offset, piece lengths comma-separated, pieces
// joined into one text]: every item of an answer costs about as much to
// carry over as a few dozen characters.
(function () {
'use strict';
  var SURROGATE = /[\uD800-\uDFFF]/;
  var LONE = /[\uD800-\uDBFF](?![\uDC00-\uDFFF])|(?<![\uD800-\uDBFF])[\uDC00-\uDFFF]/g;
  function wellFormed(s) { return (s !== '' && SURROGATE.test(s)) ? s.replace(LONE, '\uFFFD') : s; }
  function take(out, field, offset, budget) {
    var pieces = [], lengths = [];
    function add(p) { p = wellFormed(p); pieces.push(p); lengths.push(p.length); }
    while (field < out.length && budget > 0) {
      var s = out[field];
      if (typeof s !== 'string') s = s ? '1' : '';
      var rest = s.length - offset;
      if (rest <= budget) {
        add(offset ? s.substring(offset) : s);
        budget -= rest + 16;
        field++;
        offset = 0;
      } else {
        var end = offset + budget;
        var c = s.charCodeAt(end - 1);
        if (c >= 0xD800 && c <= 0xDBFF) end = (end - 1 > offset) ? end - 1 : Math.min(end + 1, s.length);
        add(s.substring(offset, end));
        offset = end;
        budget = 0;
      }
    }
    return [field, offset, lengths.join(','), pieces.join('')];
  }
  return take;
})()
