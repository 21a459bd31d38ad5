// Recursive fibonacci: the cost of a script-level call and return.
function Fib(n);
begin
  if n < 2 then
    Result := n
  else
    Result := Fib(n - 1) + Fib(n - 2);
end;

begin
  ShowMessage('fib: ' + IntToStr(Fib(32)));
end;
