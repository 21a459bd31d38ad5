// Variables, frames and evaluation in JavaScript; quitting aborts the script.
var counts = [10, 20, 30];
var point = {x: 1, label: "corner"};
function describe(p, factor) {
  var scaled = p.x * factor;

  return p.label + " " + scaled;
}
var text = describe(point, 3);
UI.ShowMessage("not reached");
