// Wrong commands, bad expressions and commands out of place; end of input runs on.
var A;
begin
  A := 1;
  A := A + 1;
  ShowMessage('A is ' + IntToStr(A));
end;
