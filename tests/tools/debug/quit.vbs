' Quitting aborts the script.
Dim n
n = 1
n = n + 1
MsgBox "not reached"
