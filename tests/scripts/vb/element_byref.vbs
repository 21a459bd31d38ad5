' Array elements passed to ByRef parameters: the callee's changes reach the element, ByVal
' parameters leave it alone, and changes the callee makes to the array itself stay.
Dim g(1)

Sub Bump(ByRef x, by)
    x = x + by
End Sub

Sub Swap(a, b)
    Dim t
    t = a
    a = b
    b = t
End Sub

Sub KeepsCopy(ByVal x)
    x = 99
    g(0) = "direct"
End Sub

Function Twice(ByRef x)
    x = x * 2
    Twice = x
End Function

Sub SetThenFail(ByRef x)
    x = 5
    Throw "failed"
End Sub

Dim a(3), m(1, 2), i, s, r
a(1) = 1
Bump a(1), 5
Bump a(2), 10
a(3) = 3
Swap a(2), a(3)
MsgBox a(0) & " " & a(1) & " " & a(2) & " " & a(3)

g(0) = "before"
KeepsCopy g(0)
MsgBox g(0)

m(1, 2) = 4
r = Twice(m(1, 2))
MsgBox r & " " & m(1, 2)

s = 0
For i = 0 To 3
    Bump a(i), i
Next
For i = 0 To 3
    s = s + a(i)
Next
MsgBox s

Try
    SetThenFail a(0)
Catch
    MsgBox "caught, a(0) = " & a(0)
End Try

Erase a(1)
MsgBox IsEmpty(a(1))
