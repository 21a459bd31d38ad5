begin
  ShowMessage(1e);
end;
