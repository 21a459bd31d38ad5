// --eval evaluates an expression against the script's globals after the global code ran.
var g = 5;

function Twice(n);
begin
  Result := n * 2;
end;

begin
  g := g + 1;
end;
