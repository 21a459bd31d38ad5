// Many calls of a small three-argument function that reads and writes global variables.
var Calls = 0, Total = 0;

function Mix(a; b; c);
begin
  Calls := Calls + 1;
  Result := (a * 3 + b * 5 + c + Calls) mod 1009;
end;

procedure Run(n);
var i;
begin
  for i := 1 to n do
    Total := (Total + Mix(i, Total, 7)) mod 1000003;
end;

begin
  Run(3000000);
  ShowMessage('calls: ' + IntToStr(Total + Calls));
end;
