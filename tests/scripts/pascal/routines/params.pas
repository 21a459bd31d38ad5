// Parameters: by value, var, out and const; functions with Result; procedures called with and
// without brackets; arguments that are expressions.
var x, y, z;

procedure Swap(var a; var b);
var t;
begin
  t := a;
  a := b;
  b := t;
end;

procedure Twice(var v);
begin
  v := v * 2;
end;

procedure SetTo(out v; value);
begin
  v := value;
end;

procedure ChangeCopy(v);
begin
  v := v + 100;
  ShowMessage('inside copy ' + IntToStr(v));
end;

function AddConst(const a; const b);
begin
  Result := a + b;
end;

function NoArgs;
begin
  Result := 'no args';
end;

procedure Hello();
begin
  ShowMessage('hello');
end;

function Chain(var v);
begin
  Twice(v);
  Twice(v);
  Result := v;
end;

procedure LocalByRef;
var a = 1, b = 2;
begin
  Swap(a, b);
  ShowMessage('local swap ' + IntToStr(a) + ' ' + IntToStr(b));
end;

begin
  x := 1;
  y := 2;
  Swap(x, y);
  ShowMessage('swap ' + IntToStr(x) + ' ' + IntToStr(y));
  Twice(x);
  ShowMessage('twice ' + IntToStr(x));
  SetTo(z, 'set through out');
  ShowMessage(z);
  ChangeCopy(x);
  ShowMessage('caller keeps ' + IntToStr(x));
  // an expression passed to a var parameter changes nothing the caller can see
  Twice(x + 1);
  ShowMessage('after expression ' + IntToStr(x));
  ShowMessage(AddConst(3, 4));
  ShowMessage(AddConst('con', 'cat'));
  ShowMessage(NoArgs);
  ShowMessage(NoArgs());
  Hello;
  Hello();
  y := 3;
  ShowMessage('chain ' + IntToStr(Chain(y)) + ' ' + IntToStr(y));
  LocalByRef;
end;
