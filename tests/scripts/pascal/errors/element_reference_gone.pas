// A callee that shrinks the array whose element it received by reference: the element is
// gone when the changed value is written back, which is an index error ("Variant or safe
// array index out of bounds") at the call.
var a;

procedure Shrink(var x);
begin
  a := array[1] of Integer;
  x := 5;
end;

begin
  a := array[4] of Integer;
  ShowMessage('before');
  Shrink(a[3]);
  ShowMessage('not reached');
end;
