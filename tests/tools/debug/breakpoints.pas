// Breakpoints with and without conditions, disabled and deleted ones.
var Total;
procedure Add(n);
begin
  Total := Total + n;
end;
var i;
begin
  Total := 0;
  for i := 1 to 5 do
    Add(i);
  ShowMessage('Total ' + IntToStr(Total));
end;
