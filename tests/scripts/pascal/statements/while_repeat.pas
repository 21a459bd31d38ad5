// while and repeat: zero passes, several passes, conditions on compound expressions.
var n, steps, s;

function Collatz(x);
begin
  Result := 0;
  while x <> 1 do
  begin
    if x mod 2 = 0 then x := x div 2 else x := 3 * x + 1;
    Result := Result + 1;
  end;
end;

begin
  n := 10;
  while n > 100 do n := n - 1;
  ShowMessage('while never ran: ' + IntToStr(n));
  while n > 0 do n := n - 3;
  ShowMessage('while ran down to ' + IntToStr(n));
  // repeat runs its body at least once
  steps := 0;
  repeat
    steps := steps + 1;
  until True;
  ShowMessage('repeat once: ' + IntToStr(steps));
  n := 1;
  repeat
    n := n * 2;
    steps := steps + 1
  until (n >= 1000) or (steps > 100);
  ShowMessage('repeat doubled to ' + IntToStr(n) + ' in ' + IntToStr(steps - 1));
  ShowMessage('Collatz(27) = ' + IntToStr(Collatz(27)));
  s := '';
  n := 0;
  while (n < 5) and (Length(s) < 3) do
  begin
    s := s + 'x';
    n := n + 1;
  end;
  ShowMessage(s + ' ' + IntToStr(n));
end;
