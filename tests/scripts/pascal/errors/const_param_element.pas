// An element of an array passed as a constant parameter cannot be assigned.
procedure P(const a);
begin
  ShowMessage(IntToStr(a[0]));
  a[0] := 2;
end;

var x;
begin
  x := array[0..0] of Integer;
  P(x);
end;
