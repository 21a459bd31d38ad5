// A local array read and written past its bounds in a loop: the error names the position of
// the access, after the writes inside the bounds took effect.
function Fill(n);
var a, k;
begin
  a := array[0..2] of Integer;
  for k := 0 to n do
  begin
    a[k] := k;
    ShowMessage(IntToStr(a[k]));
  end;
end;

begin
  Fill(5);
end;
