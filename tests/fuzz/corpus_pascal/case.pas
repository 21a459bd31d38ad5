var i;
begin
  case i of
    1: i := 2;
    2, 3: ;
    4..6, 8: i := 0;
  else
    i := -1;
    Exit;
  end;
end;
