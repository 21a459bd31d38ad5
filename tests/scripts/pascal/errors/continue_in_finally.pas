// Continue inside a finally part fails even inside a loop; the error is catchable, and an
// uncaught one ends the script.
var i;
begin
  for i := 1 to 2 do
    try
      try
        ShowMessage('x');
      finally
        Continue;
      end;
    except
      ShowMessage('caught by the loop''s handler');
      Break;
    end;
  for i := 1 to 2 do
    try
      i := i;
    finally
      Continue;
    end;
end;
