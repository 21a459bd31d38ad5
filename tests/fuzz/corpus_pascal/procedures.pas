procedure P(a; var b; const c; out d);
var t = 0, u;
const K = 3;
begin
  b := a + c;
  d := K;
end;

function F(n);
begin
  if n < 2 then Result := 1 else Result := n * F(n - 1);
end;

begin
  P(1, x, 2, y);
end;
