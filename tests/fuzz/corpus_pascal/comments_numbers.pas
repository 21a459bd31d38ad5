{ brace comment }
(* paren comment *)
// line comment
begin
  x := 1.5e-3 + $FF + 2147483647 + 1..2;
end;
