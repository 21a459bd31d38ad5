// try/except around run-time errors: the handler runs, statements after the failing one are
// skipped, execution continues after the block, errors leave called procedures, nested blocks
// and re-raising to an outer handler.
var log;

procedure Fail;
begin
  log := log + 'F';
  log := log + (1 div 0);
  log := log + 'never';
end;

function Safe(a; b);
begin
  try
    Result := a div b;
  except
    Result := -1;
  end;
end;

begin
  log := '';
  try
    log := log + 'a';
    Fail;
    log := log + 'b';
  except
    log := log + 'c';
  end;
  log := log + 'd';
  ShowMessage(log);
  ShowMessage(Safe(10, 2));
  ShowMessage(Safe(10, 0));
  // an empty except part swallows the error
  try
    Undefined := 1;
  except
  end;
  ShowMessage('swallowed');
  // inner handler re-raises, outer handler catches
  log := '';
  try
    try
      log := log + '1';
      StrToInt('not a number');
    except
      log := log + '2';
      raise;
    end;
    log := log + 'skipped';
  except
    log := log + '3';
  end;
  ShowMessage(log);
  // a handler that fails is caught by the enclosing block
  log := '';
  try
    try
      log := log + 'x';
      NoSuchProc;
    except
      log := log + 'y';
      log := log + Sqrt('abc');
    end;
  except
    log := log + 'z';
  end;
  ShowMessage(log);
  log := '';
  try
    ShowMessage(10 div Length(log));
  except
    ShowMessage('empty text has length 0');
  end;
  ShowMessage('end');
end;
