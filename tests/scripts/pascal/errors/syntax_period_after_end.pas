// The main block ends with 'end;', not 'end.'; a compile error runs nothing, so the first
// statement prints nothing either.
begin
  ShowMessage('not printed');
  ShowMessage('nor this')
end.
