// for to/downto: bounds, empty loops, the control variable after the loop, the final value
// evaluated once, globals and locals as control variables, nested loops.
var g, s, limit;

procedure LocalLoops;
var i, total = 0;
begin
  for i := 1 to 5 do total := total + i;
  ShowMessage('local sum ' + IntToStr(total) + ' i=' + IntToStr(i));
  total := '';
  for i := 5 downto 1 do total := total + IntToStr(i);
  ShowMessage('downto ' + total + ' i=' + IntToStr(i));
  for i := 10 to 1 do ShowMessage('never');
  ShowMessage('empty to leaves i=' + IntToStr(i));
  for i := 1 downto 10 do ShowMessage('never');
  ShowMessage('empty downto leaves i=' + IntToStr(i));
  for i := 3 to 3 do ShowMessage('single pass ' + IntToStr(i));
end;

procedure Table;
var row, col, line;
begin
  for row := 1 to 3 do
  begin
    line := '';
    for col := 1 to 4 do
      line := line + IntToStr(row * col) + ' ';
    ShowMessage(Trim(line));
  end;
end;

begin
  LocalLoops;
  s := 0;
  for g := 1 to 10 do s := s + g;
  ShowMessage('global sum ' + IntToStr(s) + ' g=' + IntToStr(g));
  // the final value is taken once, before the first pass
  limit := 3;
  s := '';
  for g := 1 to limit do
  begin
    limit := 10;
    s := s + IntToStr(g);
  end;
  ShowMessage('limit once ' + s);
  // negative bounds
  s := '';
  for g := -2 to 2 do s := s + IntToStr(g) + ',';
  ShowMessage(s);
  Table;
end;
