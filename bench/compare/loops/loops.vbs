' Nested integer loops: instruction dispatch and integer arithmetic.
Function Loops(n)
    Dim i, j, s
    s = 0
    For i = 0 To n - 1
        For j = 0 To n - 1
            s = (s + i * j + 7) Mod 1000003
        Next
    Next
    Loops = s
End Function

MsgBox "loops: " & Loops(3500)
