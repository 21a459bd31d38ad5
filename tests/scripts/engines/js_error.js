UI.ShowMessage("before");
function divide(a, b) {
  return a.missing.field; // fails here
}
divide(1, 0);
