// A store into an element of a function's result has no array to reach: an error, not a
// silently dropped value.
function Pair;
begin
  Result := array[0..1] of Variant;
  Result[0] := array[0..1] of Variant;
end;

begin
  Pair()[0][1] := 1;
  ShowMessage('not reached');
end;
