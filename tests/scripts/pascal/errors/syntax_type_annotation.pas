// Variables carry no type.
var x: Integer;
begin
end;
