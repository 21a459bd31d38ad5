var x;
begin
  try
    x := 1 div 0;
  except
    on E: Exception do raise;
    on EDivByZero do x := 0;
  else
    x := 1;
  end;
  try
    x := 2;
  finally
    x := 3;
  end;
  raise x;
end;
