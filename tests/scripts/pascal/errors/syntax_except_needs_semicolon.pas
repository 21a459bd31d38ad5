var x;
begin
  try x := 1 except end;
end;
