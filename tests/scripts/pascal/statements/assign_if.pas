// Assignment to globals and locals, if/then/else chains and the dangling else.
var a = 1, b, c = 'text';

procedure Classify(n);
begin
  if n < 0 then
    ShowMessage('negative')
  else if n = 0 then
    ShowMessage('zero')
  else if n < 10 then
    ShowMessage('small')
  else
    ShowMessage('large');
end;

procedure Dangling(x; y);
begin
  // the else belongs to the nearest if
  if x > 0 then
    if y > 0 then
      ShowMessage('both positive')
    else
      ShowMessage('only x positive');
end;

begin
  ShowMessage(a);
  b := a + 41;
  ShowMessage(b);
  ShowMessage(c);
  c := c + '!';
  ShowMessage(c);
  a := b;
  b := 0;
  ShowMessage(IntToStr(a) + ' ' + IntToStr(b));
  Classify(-5);
  Classify(0);
  Classify(7);
  Classify(100);
  Dangling(1, 1);
  Dangling(1, -1);
  Dangling(-1, 1);
  if a = 42 then ShowMessage('then branch');
  if a <> 42 then ShowMessage('not printed') else ShowMessage('else branch');
  if (a > 40) and (a < 50) then ShowMessage('in range');
  if not (a > 40) then ShowMessage('not printed either');
  begin
    begin
      ShowMessage('nested compound');
    end;
  end;
  ;;
  ShowMessage('after empty statements');
end;
