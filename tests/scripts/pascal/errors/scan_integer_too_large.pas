begin
  ShowMessage(2147483648);
end;
