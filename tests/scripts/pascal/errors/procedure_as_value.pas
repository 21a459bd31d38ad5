// A procedure yields no value, so using its call as one is a type mismatch.
procedure P;
begin
end;

var x;
begin
  x := P;
end;
