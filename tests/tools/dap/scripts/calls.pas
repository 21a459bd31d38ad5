var Total, Arr;
procedure Add(n);
begin
  Total := Total + n;
end;
procedure Twice(n);
begin
  Add(n);
  Add(n);
end;
var i;
begin
  Total := 0;
  Arr := array[1];
  Arr[0] := 'first';
  Arr[1] := 'second';
  for i := 1 to 4 do Twice(i);
  ShowMessage('Total ' + IntToStr(Total));
end;
