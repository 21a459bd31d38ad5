// Arrays: constructors with a single bound and with ranges, typed and variant elements,
// indexing, multi-dimensional arrays, bounds and lengths, copies that stay independent,
// arrays passed by reference, arrays of arrays.
var a, b, m, i, j, line, nested;

procedure FillSquares(var arr);
var k;
begin
  for k := Low(arr) to High(arr) do arr[k] := k * k;
end;

function Sum(arr);
var k;
begin
  Result := 0;
  for k := Low(arr) to High(arr) do Result := Result + arr[k];
end;

begin
  a := array[3];
  ShowMessage('array[3]: ' + IntToStr(Low(a)) + '..' + IntToStr(High(a)) + ' length ' + IntToStr(Length(a)));
  ShowMessage('variant elements start ' + VarToStr(a[0]) + '|' + VarToStr(Assigned(a[0])));
  a[0] := 'text';
  a[1] := 1.5;
  a[2] := True;
  ShowMessage(a[0] + ' ' + FloatToStr(a[1]) + ' ' + VarToStr(a[2]));
  b := array[1..5] of Integer;
  ShowMessage('typed elements start ' + IntToStr(b[1]));
  FillSquares(b);
  line := '';
  for i := 1 to 5 do line := line + IntToStr(b[i]) + ' ';
  ShowMessage(line);
  ShowMessage('sum ' + IntToStr(Sum(b)));
  // typed elements take the value converted to their type
  b[1] := '42';
  b[2] := 2.5;
  b[3] := 3.5;
  ShowMessage(IntToStr(b[1] + b[2] + b[3]));
  // assignment copies the array
  a := b;
  a[1] := 0;
  ShowMessage('copy independent ' + IntToStr(b[1]) + ' ' + IntToStr(a[1]));
  m := array[0..1, 0..2] of Integer;
  for i := 0 to 1 do
    for j := 0 to 2 do
      m[i, j] := i * 10 + j;
  ShowMessage('m[1, 2] = ' + IntToStr(m[1, 2]));
  ShowMessage('dims ' + IntToStr(Length(m)) + ' ' + IntToStr(Length(m, 2)) + ' high ' + IntToStr(High(m, 2)));
  ShowMessage('negative bounds ' + IntToStr(Length(array[-2..2])));
  nested := array[1];
  nested[0] := array[0..1];
  nested[1] := array[0..2];
  ShowMessage('inner lengths ' + IntToStr(Length(nested[0])) + ' ' + IntToStr(Length(nested[1])));
  a := array[0..4] of String;
  for i := 0 to 4 do a[i] := Chr(Ord('a') + i);
  b := Copy(a, 1, 3);
  ShowMessage('copy ' + IntToStr(Low(b)) + '..' + IntToStr(High(b)) + ' ' + b[0] + b[1] + b[2]);
  ShowMessage('copy past end ' + VarToStr(Assigned(Copy(a, 5, 2))));
end;
