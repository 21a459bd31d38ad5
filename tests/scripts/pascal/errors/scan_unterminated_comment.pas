// A comment without its closing brace swallows the rest of the script.
begin
  ShowMessage('hidden'); { the comment never closes
end;
