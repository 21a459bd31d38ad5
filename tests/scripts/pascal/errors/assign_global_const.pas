// Constants cannot be assigned.
const Limit = 3;
begin
  ShowMessage(Limit);
  Limit := 4;
end;
