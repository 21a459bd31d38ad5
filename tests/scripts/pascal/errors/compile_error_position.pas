// A compile error names the place of the offending token.
begin
  ShowMessage('fine');
  ShowMessage('open text
  );
end;
