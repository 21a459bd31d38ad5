// Set elements are limited to 0..31.
var s;
begin
  s := [1, 32];
end;
