var x = 1, y;
const C = 'c' + #65#$42;
begin
  y := x * 2 + 3 div 4 mod 5 shl 1 shr 2;
  if (x < y) and not (x >= 2) or (y <> x) xor True then y := -x else y := +x;
end;
