// A built-in procedure used where a value is needed.
var x;
begin
  x := Beep;
end;
