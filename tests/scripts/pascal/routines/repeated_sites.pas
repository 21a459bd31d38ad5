// Calls, global reads and writes and element accesses repeated from one place, so that later
// rounds take the short way a place keeps: each round must behave as the first did.
var g, counter, arr, shared;

procedure AddOne(x);
begin
  x := x + 1;
end;

procedure AddOneVar(var x);
begin
  x := x + 1;
end;

function Deep(n);
var a;
begin
  a := array[0..0] of Integer;
  a[0] := n;
  if n > 0 then Deep(n - 1);
  Result := a[0];
end;

function SumOf(p);
var k;
begin
  Result := 0;
  for k := Low(p) to High(p) do Result := Result + p[k];
end;

procedure SetFirst(const p);
begin
  p[0] := 1;
end;

function Rounds;
var k, v, s, text;
begin
  v := 10;
  g := 5;
  text := '';
  for k := 1 to 4 do
  begin
    AddOne(v);          // by value: the caller's variable stays
    AddOneVar(g);       // a global passed by reference
    counter := counter + k;
    text := text + IntToStr(Deep(k)) + ' ';
  end;
  Result := 'v=' + IntToStr(v) + ' g=' + IntToStr(g) + ' counter=' + IntToStr(counter) + ' deep=' + text;
end;

function Elements;
var k, i, s;
begin
  s := '';
  arr := array[0..2] of Integer;
  for k := 0 to 2 do arr[k] := k + 1;
  for k := 1 to 9 do
  begin
    // The variable gets another array with other bounds, then a text, then a short array.
    if k = 4 then
    begin
      arr := array[5..7] of Integer;
      arr[5] := 50; arr[6] := 60; arr[7] := 70;
    end;
    if k = 7 then arr := 'text';
    if k = 8 then arr := array[0..0] of Integer;
    if k < 4 then i := k - 1 else i := k + 1;
    try
      s := s + IntToStr(arr[i]) + ' ';
    except
      s := s + '<error> ';
    end;
  end;
  Result := s;
end;

function Sharing;
var a, k;
begin
  a := array[0..3] of Integer;
  shared := a;          // both name one array until a write copies it
  for k := 0 to 3 do shared[k] := k * 10;
  Result := 'a=' + IntToStr(SumOf(a)) + ' shared=' + IntToStr(SumOf(shared));
end;

function ConstWrites;
var k, s;
begin
  s := '';
  for k := 1 to 4 do
    try
      SetFirst(arr);
      s := s + 'written ';
    except
      s := s + 'refused ';
    end;
  Result := s;
end;

begin
  counter := 0;
  ShowMessage(Rounds);
  ShowMessage(Elements);
  ShowMessage(Sharing);
  arr := array[0..1] of Integer;
  ShowMessage(ConstWrites);
end;
