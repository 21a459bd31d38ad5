// An exception raised and handled inside a handler keeps the outer exception active: the
// re-raise after the nested block raises the outer one, which then leaves the script.
begin
  try
    ShowMessage(1 div 0);
  except
    try
      StrToInt('not a number');
    except
      ShowMessage('inner handled');
    end;
    raise;
  end;
end;
