uses Unit1, Unit2;
var o;
begin
  o := CreateOleObject('X.Y');
  o.Member(1, 2).Prop := @Handler;
  o.Items[0] := nil;
end;
