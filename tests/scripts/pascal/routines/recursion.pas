// Recursion: direct, with two recursive calls, mutual (names resolve when called, so no
// forward declaration is needed) and with a by-reference counter threaded through.
var calls, moves;

function Fact(n);
begin
  if n <= 1 then Result := 1 else Result := n * Fact(n - 1);
end;

function Fib(n);
begin
  calls := calls + 1;
  if n < 2 then Result := n else Result := Fib(n - 1) + Fib(n - 2);
end;

function IsEven(n);
begin
  if n = 0 then Result := True else Result := IsOdd(n - 1);
end;

function IsOdd(n);
begin
  if n = 0 then Result := False else Result := IsEven(n - 1);
end;

procedure Hanoi(n; src; dst; via; var count);
begin
  if n = 0 then Exit;
  Hanoi(n - 1, src, via, dst, count);
  count := count + 1;
  if n = 3 then ShowMessage('move disk 3 from ' + src + ' to ' + dst);
  Hanoi(n - 1, via, dst, src, count);
end;

function Ackermann(m; n);
begin
  if m = 0 then Result := n + 1
  else if n = 0 then Result := Ackermann(m - 1, 1)
  else Result := Ackermann(m - 1, Ackermann(m, n - 1));
end;

function Depth(n);
begin
  if n = 0 then Result := 0 else Result := 1 + Depth(n - 1);
end;

begin
  ShowMessage('10! = ' + IntToStr(Fact(10)));
  ShowMessage('12! = ' + IntToStr(Fact(12)));
  calls := 0;
  ShowMessage('Fib(20) = ' + IntToStr(Fib(20)) + ' in ' + IntToStr(calls) + ' calls');
  ShowMessage(IsEven(10));
  ShowMessage(IsOdd(7));
  ShowMessage(IsEven(7));
  moves := 0;
  Hanoi(5, 'A', 'C', 'B', moves);
  ShowMessage('hanoi moves ' + IntToStr(moves));
  ShowMessage('Ackermann(2, 3) = ' + IntToStr(Ackermann(2, 3)));
  ShowMessage('depth ' + IntToStr(Depth(900)));
end;
