' Booleans join as their text whichever side they stand on, also two Booleans together.
Dim t, f
t = True: f = False
MsgBox True & False
MsgBox t & f & t
MsgBox "x" & t
MsgBox t & 1
MsgBox Null & f
Dim s: s = t: s = s & f
MsgBox s
' Arithmetic on two Booleans still counts them as 1 and 0.
MsgBox t + t
