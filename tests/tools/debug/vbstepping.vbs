' Stepping and backtraces in the VBScript dialect.
Dim Total
Function Square(x)
  Square = x * x
End Function
Sub Accumulate(n)
  Dim s
  s = Square(n)
  Total = Total + s
End Sub
Total = 0
Accumulate 3
Accumulate 4
MsgBox "Total " & Total
