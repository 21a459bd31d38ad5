var total;
procedure Total;
begin
end;
