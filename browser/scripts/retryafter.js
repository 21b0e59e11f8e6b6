// The Retry-After the server gives the page's address now. The engine does
// not pass on the headers of the page's own answer, so a HEAD request of the
// same address asks again; synchronous, so that the answer is the script's
// own. The page is the site's error page: the request is of its own origin.
//
// Called with nothing. Answer (read by scripts::parseRetryAfter): the header's
// text, or null when there is none or the request failed.
(function () {
  try {
    var x = new XMLHttpRequest();
    x.open('HEAD', document.URL, false);
    x.send();
    return x.getResponseHeader('Retry-After');
  } catch (e) {
    return null;
  }
})
