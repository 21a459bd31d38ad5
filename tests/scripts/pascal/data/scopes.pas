// Global and local variables and constants: initializers, shadowing, constants computed from
// other constants, locals fresh on every call, globals shared between procedures.
const Base = 10;
      Twice = Base * 2;
      Greeting = 'Hi';
var counter = 0, shadowed = 'global', later;

procedure Bump;
begin
  counter := counter + 1;
end;

procedure Shadow;
var shadowed = 'local';
begin
  ShowMessage('inside: ' + shadowed);
  shadowed := 'changed local';
end;

function Fresh;
var v, w = 5;
begin
  // locals start Unassigned on every call, initializers run on every call
  Result := VarToStr(v) + '|' + IntToStr(w);
  v := 'set';
  w := 99;
end;

function UseConsts(x);
const Offset = 3;
      Scale = Offset * Base;
begin
  Result := x * Scale + Offset;
end;

begin
  Bump;
  Bump;
  Bump;
  ShowMessage('counter ' + IntToStr(counter));
  Shadow;
  ShowMessage('outside: ' + shadowed);
  ShowMessage(Fresh);
  ShowMessage(Fresh);
  ShowMessage(IntToStr(Base) + ' ' + IntToStr(Twice) + ' ' + Greeting);
  ShowMessage(UseConsts(2));
  ShowMessage(VarToStr(later) = '');
  ShowMessage(Assigned(later));
  later := 0;
  ShowMessage(Assigned(later));
end;
