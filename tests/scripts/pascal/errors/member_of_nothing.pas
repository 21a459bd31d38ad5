// A member call on a variable that holds no object.
var a;
begin
  a.Foo;
end;
