var a;
begin
  a := array[2];
  a[3] := 1;
end;
