' Many calls of a small three-argument function that reads and writes global variables.
Dim Calls, Total
Calls = 0
Total = 0

Function Mix(a, b, c)
    Calls = Calls + 1
    Mix = (a * 3 + b * 5 + c + Calls) Mod 1009
End Function

Sub Run(n)
    Dim i
    For i = 1 To n
        Total = (Total + Mix(i, Total, 7)) Mod 1000003
    Next
End Sub

Run 3000000
MsgBox "calls: " & (Total + Calls)
