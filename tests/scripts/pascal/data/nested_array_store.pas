// Stores into an array held inside an array reach the inner array, at any depth; every other
// holder of the inner array keeps its own copy.
var a, b, m;

procedure SetInner(var arr; v);
begin
  arr[1][0] := v;
end;

procedure Bump(var x);
begin
  x := x + 1;
end;

function Grid;
var p, q, i;
begin
  p := array[0..1] of Variant;
  q := array[0..2] of Variant;
  p[0] := q;
  for i := 0 to 2 do p[0][i] := i * i;
  Result := IntToStr(p[0][0]) + IntToStr(p[0][1]) + IntToStr(p[0][2]) + ' ' + VarToStr(VarIsNull(q[2]));
end;

begin
  a := array[0..2] of Variant;
  b := array[0..3] of Variant;
  b[2] := 1;
  a[1] := b;
  a[1][2] := 9;
  ShowMessage(IntToStr(a[1][2]) + ' ' + IntToStr(b[2]));
  m := array[0..1] of Variant;
  m[0] := a;
  m[0][1][3] := 7;
  ShowMessage(IntToStr(m[0][1][3]) + ' [' + VarToStr(a[1][3]) + ']');
  SetInner(a, 5);
  ShowMessage(a[1][0]);
  Bump(a[1][2]);
  ShowMessage(a[1][2]);
  ShowMessage(Grid);
end;
