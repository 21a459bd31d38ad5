// Calling a script procedure with more arguments than it declares.
procedure P(a);
begin
end;

begin
  P(1, 2);
end;
