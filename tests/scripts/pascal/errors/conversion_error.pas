begin
  ShowMessage(StrToInt('abc'));
end;
