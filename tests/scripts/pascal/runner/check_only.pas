// --check compiles without running: the global code's output never appears.
begin
  ShowMessage('not run');
end;
