begin
  1 + 2;
end;
