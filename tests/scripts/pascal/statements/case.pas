// case: single values, lists, ranges, else with several statements, first match wins,
// strings as selectors and a case without a matching label and without else.
function Grade(n);
begin
  case n of
    0: Result := 'zero';
    1, 2, 3: Result := 'few';
    4..9: Result := 'several';
    10, 20..29, 99: Result := 'listed';
  else
    Result := 'other';
    Result := Result + '!';
  end;
end;

function Overlap(n);
begin
  case n of
    1..5: Result := 'first';
    3: Result := 'second';
  else
    Result := 'none';
  end;
end;

function Color(s);
begin
  Result := 'unknown';
  case s of
    'red': Result := 'warm';
    'blue', 'green': Result := 'cold';
  end;
end;

var i;

begin
  for i := -1 to 11 do
    ShowMessage(IntToStr(i) + ' ' + Grade(i));
  ShowMessage(Grade(20));
  ShowMessage(Grade(25));
  ShowMessage(Grade(29));
  ShowMessage(Grade(30));
  ShowMessage(Grade(99));
  ShowMessage(Overlap(3));
  ShowMessage(Overlap(6));
  ShowMessage(Color('red'));
  ShowMessage(Color('green'));
  ShowMessage(Color('pink'));
  // the selector is evaluated once
  i := 0;
  case i + 1 of
    1: begin
         ShowMessage('compound one');
         ShowMessage('still one');
       end;
    2: ShowMessage('two');
  end;
  case 5 of
    1: ShowMessage('no');
  end;
  ShowMessage('done');
end;
