// Leaving a finally part with Exit is refused at run time.
begin
  try
    ShowMessage('finally runs');
  finally
    Exit;
  end;
end;
