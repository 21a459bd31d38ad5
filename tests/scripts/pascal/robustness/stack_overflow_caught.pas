// Unbounded recursion is a run-time error that a handler can catch; finally parts of every
// activation run while it unwinds, and the script can recurse again afterwards.
var depth, unwound;

function Down(n);
begin
  depth := n;
  Result := Down(n + 1);
end;

procedure DownWithFinally(n);
begin
  try
    DownWithFinally(n + 1);
  finally
    unwound := unwound + 1;
  end;
end;

function Count(n);
begin
  if n = 0 then Result := 0 else Result := 1 + Count(n - 1);
end;

begin
  depth := 0;
  try
    Down(1);
  except
    ShowMessage('caught after more than 100 levels: ' + VarToStr(depth > 100));
  end;
  unwound := 0;
  try
    DownWithFinally(1);
  except
    ShowMessage('finally parts ran: ' + VarToStr(unwound = depth));
  end;
  ShowMessage('recursion works again: ' + IntToStr(Count(200)));
end;
