// A by-value parameter is a copy taken at the call: changing the caller's variable afterwards
// does not show through it, and changing the parameter (also element by element) does not
// reach the caller.
var g, arr, m;

procedure ChangeGlobalThenRead(v);
begin
  g := 99;
  ShowMessage('parameter still ' + IntToStr(v));
  ShowMessage('global now ' + IntToStr(g));
end;

procedure PassOn(v);
begin
  g := 'changed before passing on';
  ChangeGlobalThenRead2(v);
end;

procedure ChangeGlobalThenRead2(v);
begin
  ShowMessage('passed on ' + VarToStr(v));
end;

procedure StoreIntoElement(a);
begin
  a[0] := 'changed in callee';
  ShowMessage('callee sees ' + a[0]);
end;

procedure StoreIntoMatrix(a);
begin
  a[1, 1] := -1;
end;

procedure ReplaceWhole(a);
begin
  a := 'replaced';
end;

procedure ByRefElement(var a);
begin
  a[0] := 'changed through var';
end;

procedure LocalCaller;
var local = 5;
begin
  g := local;
  ChangeLocal(local);
  ShowMessage('local stays ' + IntToStr(local));
end;

procedure ChangeLocal(v);
begin
  v := v + 1;
  ShowMessage('callee copy ' + IntToStr(v));
end;

// A by-value parameter keeps the value of its argument at the call while the callee changes
// the caller's variable through another parameter: whether the arguments are variables,
// expressions or call results, and in rounds after the second, which enter the procedure the
// short way.
procedure Watch(v; var w);
begin
  w := w + 10;
  ShowMessage('watched ' + IntToStr(v) + ', variable now ' + IntToStr(w));
end;

function Same(v);
begin
  Result := v;
end;

procedure MixedRounds;
var k, x;
begin
  x := 1;
  for k := 1 to 3 do begin
    Watch(x, x);
    Watch(x + 0, x);
    Watch(Same(x), x);
  end;
end;

begin
  MixedRounds;
  g := 1;
  ChangeGlobalThenRead(g);
  g := 7;
  PassOn(g);
  arr := array[1];
  arr[0] := 'original';
  StoreIntoElement(arr);
  ShowMessage('caller keeps ' + arr[0]);
  m := array[0..1, 0..1] of Integer;
  StoreIntoMatrix(m);
  ShowMessage('matrix keeps ' + IntToStr(m[1, 1]));
  ReplaceWhole(arr);
  ShowMessage('caller keeps ' + arr[0]);
  ByRefElement(arr);
  ShowMessage('var parameter wrote ' + arr[0]);
  LocalCaller;
end;
