// The document's title.
//
// Called with nothing. Answer (read by scripts::parseTitle): [title].
(function () { return [document.title]; })
