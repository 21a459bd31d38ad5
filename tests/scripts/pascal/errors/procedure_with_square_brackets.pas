// Square brackets index values; they cannot call a procedure.
procedure P(a);
begin
end;

begin
  P[1];
end;
