// Adding a number to a text that is not a number.
begin
  ShowMessage('a' + 1);
end;
