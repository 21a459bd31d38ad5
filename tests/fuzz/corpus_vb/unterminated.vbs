MsgBox "x
MsgBox 1
