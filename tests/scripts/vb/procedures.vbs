' Subs, functions, by-reference and by-value parameters, the result variable, Exit and Return.
Function Twice(n)
    Twice = n * 2
End Function
Sub Bump(ByRef v)
    v = v + 1
End Sub
Sub Keep(ByVal v)
    v = v + 100
End Sub
Function Fact(n)
    If n <= 1 Then
        Fact = 1
        Exit Function
    End If
    Fact = n * Fact(n - 1)
End Function
Function Early(n)
    Return n + 1
    Early = 0
End Function
Sub Say(a, b)
    MsgBox a & "-" & b
End Sub
Sub Quit
    MsgBox "before"
    Exit Sub
    MsgBox "after"
End Sub
Dim x
x = 5
MsgBox Twice(x)
Bump x
MsgBox x
Call Bump(x)
MsgBox x
Keep x
MsgBox x
Bump (x)
MsgBox x
MsgBox Fact(10)
MsgBox Early(41)
Say 1, 2
Call Say("p", "q")
Quit
Call Quit
Function Locals(n)
    Dim a, b
    a = n
    b = a * a
    Locals = a + b
End Function
MsgBox Locals(3)
' A ByVal parameter keeps the value of its argument at the call while the callee changes the
' caller's variable through another parameter: whether the arguments are variables, expressions
' or call results, and in rounds after the second, which enter the procedure the short way.
Sub Watch(ByVal v, ByRef w)
    w = w + 10
    MsgBox "watched " & v & ", variable now " & w
End Sub
Function Same(ByVal v)
    Same = v
End Function
Sub MixedRounds
    Dim k, y
    y = 1
    For k = 1 To 3
        Watch y, y
        Watch y + 0, y
        Watch Same(y), y
    Next
End Sub
MixedRounds
