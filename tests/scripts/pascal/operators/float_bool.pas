// Floating point and Boolean operators, mixed integer/float arithmetic, comparisons of
// numbers, strings and Booleans, and short-circuit and/or.
var calls;

function Touch(v);
begin
  calls := calls + 1;
  Result := v;
end;

begin
  ShowMessage(1.5 + 2.25);
  ShowMessage(0.1 * 3);
  ShowMessage(1 / 4);
  ShowMessage(2.5 * 2);
  ShowMessage(1e3 + 1);
  ShowMessage(-1.5e-2);
  ShowMessage(10 - 0.5);
  ShowMessage(1 / 3);
  ShowMessage(True and False);
  ShowMessage(True or False);
  ShowMessage(True xor True);
  ShowMessage(not True);
  ShowMessage(not False and True);
  ShowMessage(True + True);
  ShowMessage(1 < 2);
  ShowMessage(2 <= 2);
  ShowMessage(3 > 4);
  ShowMessage(3 >= 4);
  ShowMessage(5 = 5.0);
  ShowMessage(5 <> 5);
  ShowMessage('abc' < 'abd');
  ShowMessage('abc' = 'abc');
  ShowMessage('B' > 'A');
  ShowMessage(False < True);
  ShowMessage(1.5 > 1);
  // relational operators chain from the left: (1 < 2) = True
  ShowMessage(1 < 2 = True);
  calls := 0;
  ShowMessage(False and Touch(True));
  ShowMessage(True or Touch(False));
  ShowMessage('short-circuit calls ' + IntToStr(calls));
  ShowMessage(True and Touch(True));
  ShowMessage(False or Touch(False));
  ShowMessage('evaluated calls ' + IntToStr(calls));
  // on integers and/or give the deciding operand
  ShowMessage(5 and 3);
  ShowMessage(5 or 3);
  ShowMessage(0 and 3);
  ShowMessage(0 or 3);
  if (calls = 2) and not (calls > 2) then ShowMessage('condition with not');
end;
