// Exceptions crossing script calls: a handler several calls up catches an error raised deep
// down; finally blocks of every call on the way run, innermost first; recursion that runs into
// the nesting limit is caught and the script goes on calling normally afterwards.
var trail;

procedure Fail(depth);
begin
  try
    if depth = 0 then
      ShowMessage(IntToStr(1 div depth))
    else
      Fail(depth - 1);
  finally
    trail := trail + IntToStr(depth);
  end;
end;

function Down(n);
begin
  Result := Down(n + 1);
end;

function Sum(n);
begin
  if n = 0 then Result := 0 else Result := n + Sum(n - 1);
end;

function Guarded(depth);
var before;
begin
  before := 'kept';
  try
    Fail(depth);
    Result := 'not reached';
  except
    Result := 'caught, local ' + before;
  end;
end;

begin
  trail := '';
  ShowMessage(Guarded(4));
  ShowMessage('finally order ' + trail);
  try
    Down(0);
  except
    ShowMessage('limit reached');
  end;
  ShowMessage('afterwards ' + IntToStr(Sum(500)));
  try
    Down(0);
  except
    ShowMessage('limit reached again');
  end;
end;
