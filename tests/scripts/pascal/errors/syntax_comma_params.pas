// Parameters are separated by semicolons.
procedure P(a, b);
begin
end;
