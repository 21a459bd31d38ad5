// An --eval expression that does not compile is a script error.
var g;
