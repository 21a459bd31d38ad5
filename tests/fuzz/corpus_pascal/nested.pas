function Deep(n);
begin
  Result := ((((n + 1) * 2) - 3) / 4);
end;

begin
  ShowMessage(Format('%d %s', Deep(1), IntToStr(2)));
end;
