var a, s;
begin
  a := array[0..2, 1..3] of Integer;
  a[0, 1] := 5;
  s := [1, 3..5, 31];
  if 3 in s then a := array[10];
  a := array[2] of String;
  x := a[1][2];
end;
