// An uncaught run-time error ends the script with status 1; output written before it stays.
function Ratio(a; b);
begin
  Result :=
    a div b;
end;

begin
  ShowMessage('before');
  ShowMessage(Ratio(1, 0));
  ShowMessage('after');
end;
