// Training workload: recursive procedures of several shapes (one, two and three arguments,
// results combined, a by-reference counter).
var Moves;

function Ack(m; n);
begin
  if m = 0 then
    Result := n + 1
  else if n = 0 then
    Result := Ack(m - 1, 1)
  else
    Result := Ack(m - 1, Ack(m, n - 1));
end;

function Tak(x; y; z);
begin
  if y >= x then
    Result := z
  else
    Result := Tak(Tak(x - 1, y, z), Tak(y - 1, z, x), Tak(z - 1, x, y));
end;

procedure Hanoi(n; from; dest; via);
begin
  if n > 0 then
  begin
    Hanoi(n - 1, from, via, dest);
    Moves := Moves + 1;
    Hanoi(n - 1, via, dest, from);
  end;
end;

procedure CountNodes(depth; var count);
begin
  count := count + 1;
  if depth > 0 then
  begin
    CountNodes(depth - 1, count);
    CountNodes(depth - 1, count);
  end;
end;

var nodes;
begin
  Moves := 0;
  Hanoi(18, 1, 3, 2);
  nodes := 0;
  CountNodes(17, nodes);
  ShowMessage('recursion: ' + IntToStr(Ack(2, 300)) + ' ' + IntToStr(Tak(21, 14, 7)) + ' ' +
              IntToStr(Moves) + ' ' + IntToStr(nodes));
end;
