// Stepping and backtraces in JavaScript.
var total = 0;
function square(x) {
  return x * x;
}
function accumulate(n) {
  var s = square(n);
  total = total + s;
}
accumulate(3);
accumulate(4);
accumulate(5);
UI.ShowMessage("Total " + total);
