// A tour of the Pascal dialect: run it with   velmora examples/hello.pas
// Every value is untyped; ShowMessage prints one line in the console runner.

const Title = 'Velmora';
      Primes = [2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31];

var greeting = 'Hello from ' + Title,
    scores;

// A function returns its value through Result.
function Factorial(n);
begin
  if n <= 1 then
    Result := 1
  else
    Result := n * Factorial(n - 1);
end;

// var parameters write back to the caller's variables.
procedure MinMax(values; var lo; var hi);
var i;
begin
  lo := values[Low(values)];
  hi := lo;
  for i := Low(values) + 1 to High(values) do
  begin
    if values[i] < lo then lo := values[i];
    if values[i] > hi then hi := values[i];
  end;
end;

function Describe(n);
begin
  case n of
    0: Result := 'zero';
    1..9: Result := 'a digit';
    10, 100, 1000: Result := 'a power of ten';
  else
    if n in Primes then Result := 'a prime' else Result := 'just a number';
  end;
end;

// Errors are exceptions; try/except catches them and try/finally always tidies up.
function SafeDivide(a; b);
begin
  try
    Result := Format('%d / %d = %d', a, b, a div b);
  except
    Result := Format('%d / %d fails', a, b);
  end;
end;

procedure CountDown(from);
var i, line = '';
begin
  try
    for i := from downto 1 do
    begin
      if i = 2 then Break;
      line := line + IntToStr(i) + ' ';
    end;
  finally
    ShowMessage('countdown: ' + Trim(line) + ' ... stopped at ' + IntToStr(i));
  end;
end;

var i, lo, hi, words;

begin
  ShowMessage(greeting + '!');
  ShowMessage(UpperCase(Title) + ' has ' + IntToStr(Length(Title)) + ' letters, ' +
              'the "' + Copy(Title, 4, 3) + '" sits at ' + IntToStr(Pos('mor', Title)));

  for i := 0 to 5 do
    ShowMessage(Format('%2d! = %5d', i, Factorial(i)));

  scores := array[0..5] of Integer;
  scores[0] := 42; scores[1] := 7; scores[2] := 19;
  scores[3] := 88; scores[4] := 3; scores[5] := 56;
  MinMax(scores, lo, hi);
  ShowMessage(Format('scores range from %d to %d', lo, hi));

  words := '';
  for i := 0 to 13 do
    if i in [2..4, 11] then words := words + IntToStr(i) + ' ';
  ShowMessage('in the set: ' + TrimRight(words));

  ShowMessage('0 is ' + Describe(0));
  ShowMessage('7 is ' + Describe(7));
  ShowMessage('100 is ' + Describe(100));
  ShowMessage('13 is ' + Describe(13));
  ShowMessage('15 is ' + Describe(15));

  ShowMessage(SafeDivide(17, 5));
  ShowMessage(SafeDivide(1, 0));
  CountDown(5);

  ShowMessage(FormatFloat('0.000', Sqrt(2)) + ' squared is about ' + FloatToStr(Round(Sqr(Sqrt(2)))));
  ShowMessage('leap day: ' + FormatDateTime('dddd, d mmmm yyyy', EncodeDate(2024, 2, 29)));
end;
