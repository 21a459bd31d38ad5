// Unbounded mutual recursion that nothing catches ends the script with status 1.
procedure Ping(n);
begin
  Pong(n + 1);
end;

procedure Pong(n);
begin
  Ping(n + 1);
end;

begin
  ShowMessage('start');
  Ping(0);
  ShowMessage('never');
end;
