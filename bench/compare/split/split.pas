// A comma-separated text built piece by piece, then cut apart with Pos and Copy (each step
// copies the rest of the text): allocation, copies between slots and built-ins, call cost.
function CutText(reps);
var r, i, s, p, rest, n, total;
begin
  total := 0;
  for r := 1 to reps do
  begin
    s := '';
    for i := 1 to 200 do
      s := s + 'p' + IntToStr(i) + Chr(65 + i mod 26) + ',';
    rest := s;
    n := 0;
    p := Pos(',', rest);
    while p > 0 do
    begin
      n := n + Length(Copy(rest, 1, p - 1));
      rest := Copy(rest, p + 1, Length(rest));
      p := Pos(',', rest);
    end;
    total := total + n;
  end;
  Result := total;
end;

begin
  ShowMessage('split: ' + IntToStr(CutText(15000)));
end;
