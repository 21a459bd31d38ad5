' Floating-point arithmetic in a loop (additions, multiplications, divisions).
Function FloatLoop(n)
    Dim x, s, i
    x = 0.0
    s = 0.0
    For i = 1 To n
        x = x + 0.5
        s = s + x * 1.000001 / (x + 1.0) - 0.25
    Next
    FloatLoop = s
End Function

MsgBox "float: " & CLng(Fix(FloatLoop(12000000) * 100))
