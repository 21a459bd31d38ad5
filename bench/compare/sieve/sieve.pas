// Sieve of Eratosthenes over an array of 0/1 flags: element reads and writes.
function Sieve(n);
var flags, i, j, k, count;
begin
  flags := array[n] of Integer;
  i := 2;
  while i * i <= n do
  begin
    if flags[i] = 0 then
    begin
      j := i * i;
      while j <= n do
      begin
        flags[j] := 1;
        j := j + i;
      end;
    end;
    i := i + 1;
  end;
  count := 0;
  for k := 2 to n do
    if flags[k] = 0 then
      count := count + 1;
  Result := count;
end;

var total, r;

begin
  total := 0;
  for r := 1 to 4 do
    total := total + Sieve(1000000);
  ShowMessage('sieve: ' + IntToStr(total));
end;
