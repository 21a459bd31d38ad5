begin
  ShowMessage(EncodeDate(2023, 2, 29));
end;
