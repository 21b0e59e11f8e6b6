// The body's rendered text.
//
// Called with nothing. Answer (read by scripts::parseBodyText): [body
// innerText, LF breaks], or [] without a body.
(function () { var b = document.body; return b ? [b.innerText] : []; })
