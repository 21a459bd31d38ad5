// Integer operators: arithmetic, div and mod with negative operands (truncation toward zero),
// shifts, bitwise and/or/xor/not, unary minus and precedence.
begin
  ShowMessage(7 + 3 * 2);
  ShowMessage((7 + 3) * 2);
  ShowMessage(7 - 10);
  ShowMessage(-7 * -3);
  ShowMessage(17 div 5);
  ShowMessage(-17 div 5);
  ShowMessage(17 div -5);
  ShowMessage(17 mod 5);
  ShowMessage(-17 mod 5);
  ShowMessage(17 mod -5);
  ShowMessage(1 shl 10);
  ShowMessage(1024 shr 3);
  ShowMessage(1 shl 33);
  ShowMessage(-1 shr 28);
  // and/or short-circuit on integers too: the result is the operand that decided
  ShowMessage(12 and 10);
  ShowMessage(12 or 10);
  ShowMessage(0 and 10);
  ShowMessage(0 or 10);
  ShowMessage(12 xor 10);
  ShowMessage(not 0);
  ShowMessage(not 5);
  ShowMessage(-(3 - 5));
  ShowMessage(- 2 * 3);
  ShowMessage(+4);
  ShowMessage(2 + 3 shl 2);
  ShowMessage(10 - 4 - 3);
  ShowMessage(100 div 10 div 5);
  ShowMessage($FF + $10);
  ShowMessage($FFFFFFFF);
  ShowMessage(2147483647 + 1);
  ShowMessage(-2147483647 - 1);
  ShowMessage(65536 * 65536);
  ShowMessage(7 / 2);
  ShowMessage(6 / 3);
end;
