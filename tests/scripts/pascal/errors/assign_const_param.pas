procedure P(const a);
begin
  a := 1;
end;

begin
  P(1);
end;
