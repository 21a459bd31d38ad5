begin
  ShowMessage("double quotes");
end;
