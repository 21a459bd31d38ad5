' Arithmetic, comparison, logical and string operators.
MsgBox 7 + 3
MsgBox 7 - 10
MsgBox 6 * 7
MsgBox 7 / 2
MsgBox 7 \ 2
MsgBox 7 Mod 3
MsgBox 2 ^ 10
MsgBox -3 - -(3)
MsgBox +4
MsgBox "ab" & "cd" & 1
MsgBox 1 < 2
MsgBox 2 <= 1
MsgBox 3 > 2
MsgBox 3 >= 4
MsgBox 5 = 5
MsgBox 5 <> 5
MsgBox Not True
MsgBox True Xor False
MsgBox False Eqv False
MsgBox True Imp False
MsgBox 2 + 3 * 4
y = (2 + 3) * 4
MsgBox y
Dim y
y = 3 Or 4
MsgBox y
y = 0 Or 4
MsgBox y
y = 0 And 4
MsgBox y
y = 5 And 6
MsgBox y
