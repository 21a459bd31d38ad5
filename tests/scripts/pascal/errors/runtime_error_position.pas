// The reported place of a run-time error is where it happened, in the innermost procedure,
// with lines counted from 0 and columns from 1.
function Ratio(a; b);
begin
  Result :=
    a div b;
end;

begin
  ShowMessage(Ratio(1, 0));
end;
