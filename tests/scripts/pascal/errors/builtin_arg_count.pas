// Built-ins check their argument count before they run.
begin
  ShowMessage(IntToStr(5));
  ShowMessage(IntToStr(5, 6));
end;
