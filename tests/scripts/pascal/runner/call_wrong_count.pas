// --call with fewer arguments than the procedure declares is a script error.
procedure P(a; b);
begin
end;
