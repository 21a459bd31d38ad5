// Statements the machine runs as one fused step when their operands are Integers or Doubles
// (a local := a local or literal operated with a local or literal, a comparison of a local with
// a parameter, an element of a local array read or given a literal), here with values of
// every kind: overflow, text, Null, Booleans and references take the general ways, with the
// same results and errors.
function Shapes(v; w);
var x, y, z, t;
begin
  x := v;
  y := w;
  t := 'old text';
  x := x + 1;
  t := x - y;
  z := x * 3;
  z := (x + y) - 2;
  y := (x * 2) + y;
  t := z / 4;
  z := y * x;
  if x <= w then Result := 'le' else Result := 'gt';
  if x > w then Result := Result + ' gt' else Result := Result + ' le';
  Result := Result + ': ' + VarToStr(x) + ' ' + VarToStr(y) + ' ' + VarToStr(z) + ' ' + VarToStr(t);
end;

// The error's class, text and position (without the script's path, which depends on how the
// runner was started).
procedure ShowError(E);
var m;
begin
  m := E.Message;
  ShowMessage(E.ClassName + ': ' + Copy(m, 1, Pos('Source:', m) - 1) + Copy(m, Pos('[line', m), 100));
end;

procedure Show(v; w);
begin
  try
    ShowMessage(Shapes(v, w));
  except
    on E: Exception do ShowError(E);
  end;
end;

procedure Bump(var x; d);
var y;
begin
  y := d;
  x := x + y;
end;

procedure Elements(n);
var flags, i, j, count, words;
begin
  flags := array[n] of Integer;
  words := array[3] of Variant;
  i := 2;
  while i <= n do
  begin
    j := i * i;
    while j <= n do
    begin
      flags[j] := 1;
      j := j + i;
    end;
    i := i + 1;
  end;
  count := 0;
  for i := 2 to n do
    if flags[i] = 0 then count := count + 1;
  j := n;
  flags[j] := 0;  // zero, pushed by its own instruction
  j := 1;
  words[j] := 'one';
  words[2] := 2.5;
  j := 2;
  ShowMessage(IntToStr(count) + ' ' + words[1] + ' ' + VarToStr(words[j]) + ' ' + VarToStr(flags[n]));
  j := n + 1;
  flags[j] := 1;
end;

// A local pushed before a product of two locals (`s + i * j`), an operation on the stack
// followed by a literal operation (`... + 7`, `... - 2`), and elements read with a literal
// index through a by-reference parameter.
function Chain(a; b; c);
var s, i, j;
begin
  s := a;
  i := b;
  j := c;
  s := (s + i * j + 7) - 2;
  Result := VarToStr(s) + ' ' + VarToStr(s * 2 - 1) + ' ' + VarToStr(i - j * s);
end;

procedure ShowChain(a; b; c);
begin
  try
    ShowMessage(Chain(a, b, c));
  except
    on E: Exception do ShowError(E);
  end;
end;

function Counter(var obj; x);
begin
  obj[0] := (obj[0] + x) mod 1000003;
  Result := VarToStr(obj[0]) + ' ' + VarToStr(obj[1]);
  Result := Result + ' ' + VarToStr(obj[2]);
end;

// Whole statements "a local := (a local + a local * a local + or - a literal) mod a literal"
// (one fused step for Integers): into one of their own operands and into a local that held a
// text, with overflow at every step, a negative remainder, and the local passed by reference
// between two of them.
function Statement(a; b; c);
var s, i, j, t;
begin
  s := a;
  i := b;
  j := c;
  t := 'old text';
  t := (s + i * j - 2147483647) mod 65536;
  s := (s + i * j + 7) mod 1000003;
  Bump(s, 1);
  s := (s + i * j + 7) mod 1000003;
  Result := VarToStr(s) + ' ' + VarToStr(t);
end;

// The same statement with a divisor of zero (pushed by its own instruction) and of one.
function StatementMod(a; b; c);
var s, i, j;
begin
  s := a;
  i := b;
  j := c;
  s := (s + i * j + 7) mod 1;
  ShowMessage(VarToStr(s));
  s := (s + i * j + 7) mod 0;
  Result := VarToStr(s);
end;

// Integer quotients (div) of two locals, which the machine divides in place: negative operands,
// -1 (whose quotient can leave the range) and zero as divisors, a Double and Null.
procedure ShowQuotient(a; b);
var x, y;
begin
  x := a;
  y := b;
  try
    ShowMessage(VarToStr(x div y));
  except
    on E: Exception do ShowError(E);
  end;
end;

procedure ShowStatement(a; b; c);
begin
  try
    ShowMessage(Statement(a, b, c));
  except
    on E: Exception do ShowError(E);
  end;
end;

var r, cell;

begin
  Show(1, 2);
  Show(2147483646, 5);
  Show(-2147483647, 3);
  Show(65536, 65536);
  Show(1.5, 0.25);
  Show(0.5, 0);
  Show(3, 2.5);
  Show('12', 3);
  Show('ab', 'cd');
  Show(True, 1);
  Show(Null, 1);
  Show(7, Null);
  r := 10;
  Bump(r, 5);
  Bump(r, 0.5);
  ShowMessage(r);
  try
    Elements(30);
  except
    on E: Exception do ShowError(E);
  end;
  ShowChain(3, 4, 5);
  ShowChain(2147483647, 1, 1);
  ShowChain(1, 65536, 65536);
  ShowChain(0.5, 1.5, 2.0);
  ShowChain(1, 2.5, 2);
  ShowChain('10', 3, 4);
  ShowChain('ab', 1, 2);
  ShowChain(Null, 1, 2);
  ShowChain(True, 1, 2);
  cell := array[2] of Integer;
  cell[1] := 5;
  ShowMessage(Counter(cell, 7));
  cell := array[3] of Variant;
  cell[1] := 'x';
  cell[2] := 2.5;
  ShowMessage(Counter(cell, 7));
  cell := 12;
  try
    ShowMessage(Counter(cell, 1));
  except
    on E: Exception do ShowError(E);
  end;
  ShowStatement(3, 4, 5);
  ShowStatement(-100, 1, 1);
  ShowStatement(2147483647, 1, 1);
  ShowStatement(2147483640, 0, 5);
  ShowStatement(-2, 0, 0);
  ShowStatement(-2147483647 - 1, 1, 1);
  ShowStatement(1, 65536, 65536);
  ShowStatement(1, -65536, 32768);
  ShowStatement(0.5, 1.5, 2.0);
  ShowStatement(1, 2.5, 2);
  ShowStatement('10', 3, 4);
  ShowStatement(True, 1, 2);
  ShowStatement(Null, 1, 2);
  ShowStatement(1, Null, 2);
  ShowStatement('ab', 1, 2);
  ShowQuotient(17, 5);
  ShowQuotient(-17, 5);
  ShowQuotient(17, -5);
  ShowQuotient(-2147483647 - 1, -1);
  ShowQuotient(-2147483647 - 1, 1);
  ShowQuotient(7, -1);
  ShowQuotient(7, 0);
  ShowQuotient(7.5, 2);
  ShowQuotient(Null, 2);
  try
    ShowMessage(StatementMod(5, 6, 7));
  except
    on E: Exception do ShowError(E);
  end;
end;
