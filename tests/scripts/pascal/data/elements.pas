// Element reads and writes of one-dimensional arrays held in locals, parameters and globals:
// typed and variant elements, conversions on store, copies that stay independent (also when
// an element of another array holds the copy), by-reference parameters.
var g;

procedure Bump(var arr; i);
begin
  arr[i] := arr[i] + 1;
end;

function Total(const arr);
var k;
begin
  Result := 0;
  for k := Low(arr) to High(arr) do Result := Result + arr[k];
end;

function Locals;
var a, b, s, d, v, k;
begin
  a := array[2..4] of Integer;
  for k := 2 to 4 do a[k] := k * 10;
  b := a;
  b[3] := -1;
  s := array[0..1] of String;
  s[0] := 'x';
  s[1] := s[0] + 'y';
  d := array[0..1] of Double;
  d[0] := 1.25;
  d[1] := 2;
  v := array[0..2];
  v[0] := 'text';
  v[1] := 7;
  v[2] := a;
  a[2] := 99;
  Bump(a, 4);
  a[3] := '5';
  Result := IntToStr(a[2]) + ' ' + IntToStr(a[3]) + ' ' + IntToStr(a[4]) + ' | ' + IntToStr(b[3]) + ' | ' +
    s[1] + ' | ' + FloatToStr(d[0] + d[1]) + ' | ' + v[0] + IntToStr(v[1]) + ' ' + IntToStr(v[2][2]) +
    ' | ' + IntToStr(Total(a));
end;

begin
  ShowMessage(Locals);
  g := array[0..2] of Byte;
  g[1] := 255;
  Bump(g, 0);
  ShowMessage(IntToStr(g[0]) + ' ' + IntToStr(g[1]) + ' ' + IntToStr(Total(g)));
end;
