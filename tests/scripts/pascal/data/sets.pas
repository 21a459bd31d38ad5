// Sets of small integers: constructors with values and ranges, membership, Include/Exclude,
// the set's integer form and set operations through the bit operators.
var s, t, i, line;

begin
  s := [1, 3, 5..7];
  line := '';
  for i := 0 to 9 do
    if i in s then line := line + IntToStr(i);
  ShowMessage('members ' + line);
  ShowMessage('as integer ' + IntToStr(s));
  ShowMessage('empty set ' + IntToStr([]));
  ShowMessage(0 in []);
  ShowMessage(31 in [31]);
  ShowMessage(IntToStr([0..31]));
  ShowMessage(2 in [0..1, 3]);
  Include(s, 2);
  ShowMessage('include 2: ' + IntToStr(s));
  Exclude(s, 5);
  ShowMessage('exclude 5: ' + IntToStr(s));
  Exclude(s, 30);
  ShowMessage('exclude absent: ' + IntToStr(s));
  t := 0;
  Include(t, 3);
  ShowMessage((3 in [3]) = (3 in t));
  // xor is bitwise on the integer form; and/or short-circuit and give the deciding operand
  ShowMessage(IntToStr([1, 2] xor [2, 3]));
  ShowMessage(IntToStr([1, 2] or [2, 3]));
  ShowMessage(IntToStr([] or [2, 3]));
  ShowMessage(IntToStr([1, 2] and [2, 3]));
  // membership keeps only the low five bits of the element
  ShowMessage(33 in [1]);
  i := 4;
  ShowMessage(i in [i - 1..i + 1]);
  if not (i in [0, 1, 2]) then ShowMessage('not in');
end;
