var a;
begin
  a := array[2] of Float;
end;
