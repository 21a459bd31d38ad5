// Nested integer loops: instruction dispatch and integer arithmetic.
function Loops(n);
var i, j, s;
begin
  s := 0;
  for i := 0 to n - 1 do
    for j := 0 to n - 1 do
      s := (s + i * j + 7) mod 1000003;
  Result := s;
end;

begin
  ShowMessage('loops: ' + IntToStr(Loops(3500)));
end;
