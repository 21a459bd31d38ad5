// Break, Continue and Exit in every loop form, in nested loops and in functions.
var i, s;

function FirstMultiple(n; limit);
var k;
begin
  Result := -1;
  for k := 1 to limit do
    if k mod n = 0 then
    begin
      Result := k;
      Exit;
    end;
  Result := -2;
end;

procedure EarlyExit(flag);
begin
  ShowMessage('before exit');
  if flag then Exit;
  ShowMessage('after exit');
end;

function Nested;
var a, b;
begin
  Result := '';
  for a := 1 to 3 do
  begin
    for b := 1 to 3 do
    begin
      if b = 2 then Continue;
      if a = 3 then Break;
      Result := Result + IntToStr(a) + IntToStr(b) + ' ';
    end;
  end;
end;

begin
  s := '';
  for i := 1 to 10 do
  begin
    if i = 3 then Continue;
    if i = 6 then Break;
    s := s + IntToStr(i);
  end;
  ShowMessage('for: ' + s + ' i=' + IntToStr(i));
  s := '';
  i := 0;
  while True do
  begin
    i := i + 1;
    if i mod 2 = 0 then Continue;
    if i > 7 then Break;
    s := s + IntToStr(i);
  end;
  ShowMessage('while: ' + s);
  s := '';
  i := 0;
  repeat
    i := i + 1;
    if i = 2 then Continue;
    if i = 5 then Break;
    s := s + IntToStr(i);
  until i >= 10;
  ShowMessage('repeat: ' + s + ' i=' + IntToStr(i));
  // Continue in repeat goes to the condition
  i := 0;
  repeat
    i := i + 1;
    Continue;
  until i = 3;
  ShowMessage('repeat continue ends at ' + IntToStr(i));
  ShowMessage('FirstMultiple = ' + IntToStr(FirstMultiple(7, 50)));
  ShowMessage('FirstMultiple none = ' + IntToStr(FirstMultiple(70, 50)));
  EarlyExit(True);
  EarlyExit(False);
  ShowMessage('nested: ' + Nested);
  ShowMessage('before global exit');
  Exit;
  ShowMessage('never printed');
end;
