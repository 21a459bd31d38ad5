// Exit takes no arguments in this dialect.
begin
  Exit(1);
end;
