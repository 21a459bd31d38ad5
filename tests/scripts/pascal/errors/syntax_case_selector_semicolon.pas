// Every case selector needs its semicolon.
var i;
begin
  case i of 1: i := 2 end;
end;
