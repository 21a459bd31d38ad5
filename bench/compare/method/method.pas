// A method of an object called from a loop. The command-line runner hands scripts no host
// object, so the object is a one-element array and its method a function that takes the
// array by reference: the call is still resolved by name when it runs, but it stays inside
// the machine instead of going through a dispatch interface.
function CounterAdd(var obj; x);
begin
  obj[0] := (obj[0] + x) mod 1000003;
  Result := obj[0];
end;

function RunMethod(n);
var counter, s, i;
begin
  counter := array[0] of Integer;
  s := 0;
  for i := 1 to n do
    s := (s + CounterAdd(counter, i)) mod 1000003;
  Result := s;
end;

begin
  ShowMessage('method: ' + IntToStr(RunMethod(4000000)));
end;
