// --call runs the global code first, then the named function with the command-line arguments
// (numbers become numbers, anything else text) and prints its result.
var offset = 100;

function Combine(a; b);
begin
  Result := a + b + offset;
end;

begin
  ShowMessage('global code runs first');
end;
