begin
  ShowMessage('It''s' + #13#10 + 'unterminated
