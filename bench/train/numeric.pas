// Training workload: integer and floating-point loops over locals and two-dimensional arrays.
function Collatz(limit);
var n, steps, best, x;
begin
  best := 0;
  for n := 1 to limit do
  begin
    x := n;
    steps := 0;
    while x <> 1 do
    begin
      if x mod 2 = 0 then x := x div 2 else x := 3 * x + 1;
      steps := steps + 1;
    end;
    if steps > best then best := steps;
  end;
  Result := best;
end;

function MatrixTrace(n);
var a, b, c, i, j, k, s;
begin
  a := array[0..n - 1, 0..n - 1] of Integer;
  b := array[0..n - 1, 0..n - 1] of Integer;
  c := array[0..n - 1, 0..n - 1] of Integer;
  for i := 0 to n - 1 do
    for j := 0 to n - 1 do
    begin
      a[i, j] := i + j;
      b[i, j] := 2 * i - j;
    end;
  for i := 0 to n - 1 do
    for j := 0 to n - 1 do
    begin
      s := 0;
      for k := 0 to n - 1 do s := s + a[i, k] * b[k, j];
      c[i, j] := s;
    end;
  s := 0;
  for i := 0 to n - 1 do s := s + c[i, i];
  Result := s;
end;

function Integrate(steps);
var h, x, sum, i;
begin
  h := 1.0 / steps;
  sum := 0.0;
  for i := 0 to steps - 1 do
  begin
    x := (i + 0.5) * h;
    sum := sum + 4.0 / (1.0 + x * x);
  end;
  Result := sum * h;
end;

function Primes(n);
var flags, i, j, count;
begin
  flags := array[0..n] of Boolean;
  count := 0;
  for i := 2 to n do
    if not flags[i] then
    begin
      count := count + 1;
      j := i + i;
      while j <= n do
      begin
        flags[j] := True;
        j := j + i;
      end;
    end;
  Result := count;
end;

begin
  ShowMessage('numeric: ' + IntToStr(Collatz(20000)) + ' ' + IntToStr(MatrixTrace(40)) + ' ' +
              IntToStr(Round(Integrate(200000) * 1000000)) + ' ' + IntToStr(Primes(100000)));
end;
