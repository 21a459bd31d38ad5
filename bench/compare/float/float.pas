// Floating-point arithmetic in a loop (additions, multiplications, divisions).
function FloatLoop(n);
var x, s, i;
begin
  x := 0.0;
  s := 0.0;
  for i := 1 to n do
  begin
    x := x + 0.5;
    s := s + x * 1.000001 / (x + 1.0) - 0.25;
  end;
  Result := s;
end;

begin
  ShowMessage('float: ' + IntToStr(Trunc(FloatLoop(12000000) * 100)));
end;
