// An index list must have one index per dimension.
var m;
begin
  m := array[0..1, 0..1];
  ShowMessage(m[1]);
end;
