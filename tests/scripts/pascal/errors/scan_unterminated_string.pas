begin
  ShowMessage('open text
  );
end;
