' Or and And skip the right operand when the left one decides.
Dim calls
calls = 0
Function Touch(v)
    calls = calls + 1
    Touch = v
End Function
If True Or Touch(True) Then MsgBox "or taken"
MsgBox calls
If False And Touch(True) Then MsgBox "never": Else MsgBox "and skipped"
MsgBox calls
If Touch(False) Or Touch(True) Then MsgBox "or right"
MsgBox calls
If Not (Touch(1) = 2) Then MsgBox "not equal"
If Touch(1) <> 1 Or Touch(3) = 3 Then MsgBox "mixed"
MsgBox calls
Dim r
r = Nothing And Touch(5)
MsgBox IsObject(r)
MsgBox calls
