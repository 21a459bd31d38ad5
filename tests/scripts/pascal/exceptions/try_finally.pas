// try/finally: the finally part runs on normal completion, on errors (which then go on to the
// enclosing handler), and when Break, Continue or Exit leave the protected part.
var log, i;

function ExitThroughFinally;
begin
  Result := 'result set';
  try
    log := log + '[body]';
    Exit;
    log := log + '[never]';
  finally
    log := log + '[finally]';
  end;
  Result := 'never';
end;

procedure Nested;
begin
  try
    try
      log := log + '<';
      Exit;
    finally
      log := log + 'inner';
    end;
  finally
    log := log + ' outer>';
  end;
end;

begin
  log := '';
  try
    log := log + 'body ';
  finally
    log := log + 'finally';
  end;
  ShowMessage(log);
  log := '';
  try
    try
      log := log + 'body ';
      log := 1 div 0;
    finally
      log := log + 'finally ';
    end;
  except
    log := log + 'handler';
  end;
  ShowMessage(log);
  log := '';
  for i := 1 to 5 do
  begin
    try
      if i = 2 then Continue;
      if i = 4 then Break;
      log := log + IntToStr(i);
    finally
      log := log + 'f';
    end;
  end;
  ShowMessage(log + ' i=' + IntToStr(i));
  log := '';
  i := 0;
  while True do
  begin
    i := i + 1;
    try
      try
        if i = 3 then Break;
        Continue;
      finally
        log := log + 'a' + IntToStr(i);
      end;
    finally
      log := log + 'b';
    end;
  end;
  ShowMessage(log);
  log := '';
  ShowMessage(ExitThroughFinally);
  ShowMessage(log);
  log := '';
  Nested;
  ShowMessage(log);
  // an empty finally part protects nothing and changes nothing
  try
    ShowMessage('empty finally');
  finally
  end;
  log := '';
  try
    log := 'global exit ';
    Exit;
  finally
    ShowMessage(log + 'runs the finally part');
  end;
  ShowMessage('never');
end;
