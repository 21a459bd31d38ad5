var i, s;
begin
  for i := 1 to 10 do s := s + i;
  for i := 10 downto 1 do begin if i = 5 then Break; Continue; end;
  while i > 0 do i := i - 1;
  repeat i := i + 1 until i >= 3;
end;
