begin
  try
    ShowMessage('x');
  finally
    raise;
  end;
end;
