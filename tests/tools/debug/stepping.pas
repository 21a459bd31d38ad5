// Stepping into and over calls, backtraces across two procedures, locals of arrays.
var Items;
function Twice(x);
begin
  Result := x * 2;
end;
procedure Fill(a; count);
var k, doubled;
begin
  for k := 0 to count - 1 do
  begin
    doubled := Twice(k);
    a[k] := doubled;
  end;
  ShowMessage('filled ' + IntToStr(count));
end;
begin
  Items := array[2];
  Items[0] := 'first';
  Fill(Items, 2);
  ShowMessage('done');
end;
