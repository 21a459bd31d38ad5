// A function's parameter cannot take the name of its result.
function F(Result);
begin
end;
