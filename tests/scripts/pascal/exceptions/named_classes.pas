// The runtime library's exception classes by name: handlers select by class, an object of
// them is created and raised, and Message and ClassName are readable.
var x;
begin
  try
    x := 1 div 0;
  except
    on E: EConvertError do ShowMessage('wrong handler');
    on E: EDivByZero do ShowMessage(E.ClassName + ' ' + IntToStr(Pos('Division by zero', E.Message)));
  end;
  try
    x := StrToInt('abc');
  except
    on E: EIntError do ShowMessage('wrong handler');
    on E: Exception do ShowMessage(E.ClassName);
  end;
  try
    raise EConvertError.Create('made here');
  except
    on E: EConvertError do
    begin
      E.Message := 'changed';
      ShowMessage(E.Message);
    end;
  end;
end;
