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
