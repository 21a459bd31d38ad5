// Break outside a loop is a run-time error, also inside a procedure called from a loop.
procedure P;
begin
  ShowMessage('in procedure');
  Break;
end;

var i;
begin
  for i := 1 to 3 do P;
end;
