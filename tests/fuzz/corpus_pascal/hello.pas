begin
  ShowMessage('Hello');
end;
