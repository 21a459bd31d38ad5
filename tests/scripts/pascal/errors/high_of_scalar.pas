begin
  ShowMessage(High(5));
end;
