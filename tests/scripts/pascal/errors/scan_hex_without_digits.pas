begin
  ShowMessage($);
end;
