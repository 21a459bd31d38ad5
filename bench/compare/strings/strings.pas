// String building (concatenation, number to text, character codes) and substring search.
function Strings(n);
var total, buf, i;
begin
  total := 0;
  buf := '';
  for i := 1 to n do
  begin
    buf := buf + Chr(97 + i mod 26) + IntToStr(i mod 1000) + ';';
    if Length(buf) > 250 then
    begin
      total := total + Pos('x12', buf) + Pos(';a', buf) + Length(buf);
      buf := '';
    end;
  end;
  Result := total + Length(buf);
end;

begin
  ShowMessage('strings: ' + IntToStr(Strings(1500000)));
end;
