// Training workload: text built, searched, cut and compared; globals read and written by small
// procedures; exceptions raised and handled.
var Words, Errors;

procedure Count(w);
begin
  if Length(w) > 0 then Words := Words + 1;
end;

function Reverse(s);
var i;
begin
  Result := '';
  for i := Length(s) downto 1 do Result := Result + Copy(s, i, 1);
end;

function SplitCount(line);
var p, rest;
begin
  rest := line;
  p := Pos(' ', rest);
  while p > 0 do
  begin
    Count(Copy(rest, 1, p - 1));
    rest := Copy(rest, p + 1, Length(rest));
    p := Pos(' ', rest);
  end;
  Count(rest);
  Result := Words;
end;

function Checked(i);
begin
  try
    if i mod 7 = 0 then raise Exception.Create('seven');
    Result := i;
  except
    Errors := Errors + 1;
    Result := 0;
  end;
end;

var i, line, total, s;
begin
  Words := 0;
  Errors := 0;
  total := 0;
  for i := 1 to 3000 do
  begin
    line := 'alpha ' + IntToStr(i) + ' beta gamma ' + UpperCase('delta') + ' ' + Chr(65 + i mod 26);
    total := total + SplitCount(line) mod 97;
    s := Reverse(line);
    if s = line then total := total + 1;
    total := total + Checked(i) mod 13;
  end;
  ShowMessage('text: ' + IntToStr(total) + ' ' + IntToStr(Words) + ' ' + IntToStr(Errors));
end;
