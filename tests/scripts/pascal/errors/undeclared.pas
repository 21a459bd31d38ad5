// A name nothing declares fails when the statement runs, not when the script compiles.
var x;
begin
  x := Missing + 1;
end;
