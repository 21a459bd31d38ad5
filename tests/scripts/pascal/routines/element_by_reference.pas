// Array elements passed to by-reference parameters: the callee's changes reach the element,
// by-value parameters leave it alone, and changes the callee makes to the array itself stay.
var g, log;

procedure Bump(var x; by);
begin
  x := x + by;
end;

procedure Swap(var a; var b);
var t;
begin
  t := a;
  a := b;
  b := t;
end;

procedure KeepsCopy(x);
begin
  x := 99;          // only the copy changes
  g[0] := 'direct'; // the array itself may change meanwhile
end;

procedure Append(var s);
begin
  s := s + '!';
end;

procedure Grow(var cell; depth);
begin
  cell := cell + 1;
  if depth > 0 then
    Grow(cell, depth - 1);
end;

procedure SetThenFail(var x);
begin
  x := 5;
  x := 1 div 0;
end;

procedure Untouched(var x);
begin
  g[1] := 'set inside';  // the element changes through the array, not through x
end;

var a, m, i, s;
begin
  a := array[4] of Integer;
  Inc(a[1]);
  Inc(a[1], 5);
  Bump(a[2], 10);
  a[3] := 3;
  Swap(a[2], a[3]);
  ShowMessage(IntToStr(a[0]) + ' ' + IntToStr(a[1]) + ' ' + IntToStr(a[2]) + ' ' + IntToStr(a[3]));

  g := array[2];
  g[0] := 'before';
  KeepsCopy(g[0]);
  ShowMessage(g[0]);
  g[1] := 'text';
  Append(g[1]);
  Untouched(g[1]);
  ShowMessage(g[1]);

  m := array[2, 3] of Integer;
  Bump(m[1, 2], 7);
  ShowMessage(IntToStr(m[1, 2]) + ' ' + IntToStr(m[0, 2]));

  a[0] := 0;
  Grow(a[0], 4);
  ShowMessage(IntToStr(a[0]));

  // An element used as an index reads it; nothing is written back.
  a[1] := 2;
  Bump(a[a[1]], 1);
  ShowMessage(IntToStr(a[2]));

  s := 0;
  for i := 0 to 3 do
    Bump(a[i], i);
  for i := 0 to 3 do
    s := s + a[i];
  ShowMessage(IntToStr(s));

  // What the callee stored before failing stays, as through a variable's reference.
  try
    SetThenFail(a[3]);
  except
    ShowMessage('caught, a[3] = ' + IntToStr(a[3]));
  end;
end;
