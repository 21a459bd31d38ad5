// Math built-ins: rounding (halves to even), truncation, integral and fractional parts,
// powers and roots, transcendental functions, Odd, Inc and Dec.
var i, x;

begin
  ShowMessage(Round(2.5));
  ShowMessage(Round(3.5));
  ShowMessage(Round(-2.5));
  ShowMessage(Round(2.6));
  ShowMessage(Trunc(-1.7));
  ShowMessage(Trunc(1.99));
  ShowMessage(Int(-3.75));
  ShowMessage(Frac(3.75));
  ShowMessage(Abs(-4));
  ShowMessage(Abs(2.5));
  ShowMessage(Sqr(12));
  ShowMessage(Sqrt(144));
  ShowMessage(Sqrt(2));
  ShowMessage(Exp(0));
  ShowMessage(Ln(1));
  ShowMessage(Round(Exp(1) * 1000));
  ShowMessage(Sin(0));
  ShowMessage(Cos(0));
  ShowMessage(Round(ArcTan(1) * 4 * 100000));
  ShowMessage(Odd(3));
  ShowMessage(Odd(-4));
  ShowMessage(Round(1e10) * 3);
  i := 10;
  Inc(i);
  ShowMessage(i);
  Inc(i, 5);
  ShowMessage(i);
  Dec(i);
  ShowMessage(i);
  Dec(i, 20);
  ShowMessage(i);
  x := Dec(i);
  ShowMessage(IntToStr(i) + ' ' + VarToStr(x) + '|');
  Inc(3);
  x := 1.5;
  Inc(x, 1);
  ShowMessage(x);
  x := 0;
  i := 0;
  // a function called repeatedly with computed arguments
  while i < 5 do
  begin
    x := x + Sqr(i);
    Inc(i);
  end;
  ShowMessage(x);
end;
