// Raising a value that is no exception object.
begin
  raise 'just text';
end;
