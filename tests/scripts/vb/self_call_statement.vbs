' A function calling itself by name as a statement, with arguments but no parentheses, makes a
' recursive call: in straight code, in a For loop and in a Do loop.
Dim calls
Function Down(n)
  calls = calls + 1
  If n > 0 Then Down n - 1
  Down = n
End Function

Function Twice(n)
  calls = calls + 1
  If n > 0 Then
    Dim k
    For k = 0 To 1
      Twice n - 1
    Next
  End If
End Function

Function Looping(n)
  calls = calls + 1
  Do While n > 0
    Looping n - 1
    n = n - 1
  Loop
End Function

calls = 0: MsgBox Down(3) & " " & calls
calls = 0: Twice 3: MsgBox calls
calls = 0: Looping 3: MsgBox calls
