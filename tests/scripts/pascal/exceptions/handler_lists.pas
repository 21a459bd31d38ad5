// Handler lists: a type test that no handler passes leads to the else part, a list without
// else passes the error on, Break/Continue/Exit leave handlers cleanly, and an exception
// handled inside a handler leaves the outer one active for a re-raise.
var log, i, NotAnExceptionClass;

function ExitFromHandler;
begin
  Result := 'before';
  try
    Result := 1 div 0;
  except
    Result := 'handler';
    Exit;
  end;
  Result := 'after';
end;

begin
  log := '';
  try
    log := 1 div 0;
  except
    on NotAnExceptionClass do log := log + 'typed';
  else
    log := log + 'else part';
  end;
  ShowMessage(log);
  log := '';
  try
    try
      log := 1 div 0;
    except
      on E: NotAnExceptionClass do log := log + 'typed';
    end;
  except
    log := log + 'passed on';
  end;
  ShowMessage(log);
  log := '';
  for i := 1 to 5 do
  begin
    try
      if i mod 2 = 0 then log := log + (1 div 0);
      log := log + IntToStr(i);
    except
      log := log + '!';
      if i = 2 then Continue;
      Break;
    end;
    log := log + ';';
  end;
  ShowMessage(log + ' i=' + IntToStr(i));
  ShowMessage(ExitFromHandler);
  // after a handler has finished, a new error is handled normally
  for i := 1 to 3 do
    try
      log := 1 div 0;
    except
      log := 'handled ' + IntToStr(i);
    end;
  ShowMessage(log);
  // the else part may re-raise
  try
    try
      StrToInt('x');
    except
      on NotAnExceptionClass do ;
    else
      raise;
    end;
  except
    ShowMessage('re-raised from else');
  end;
end;
