// How far the document has come, for the parse watch of a load.
//
// Called with nothing. Answer (read by scripts::readParseState):
// [document.readyState, performance.timeOrigin (epoch milliseconds)].
(function () { return [document.readyState, performance.timeOrigin]; })
