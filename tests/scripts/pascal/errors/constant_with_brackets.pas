// Built-in constants take no brackets.
begin
  ShowMessage(True());
end;
