' A tour of the VBScript dialect: run it with   velmora examples/tour.vbs
' Every value is a Variant; MsgBox prints one line in the console runner.

Dim Title, greeting, scores(5), i, lo, hi
Title = "Velmora"
greeting = "Hello from " & Title

' A function returns its value by assigning to its own name.
Function Factorial(n)
  If n <= 1 Then
    Factorial = 1
  Else
    Factorial = n * Factorial(n - 1)
  End If
End Function

' ByRef parameters (the default) write back to the caller's variables.
Sub MinMax(values, ByRef lo, ByRef hi)
  Dim k
  lo = values(LBound(values))
  hi = lo
  For k = LBound(values) + 1 To UBound(values)
    If values(k) < lo Then lo = values(k)
    If values(k) > hi Then hi = values(k)
  Next
End Sub

Function Describe(n)
  Select Case n
    Case 0
      Describe = "zero"
    Case 1, 2, 3, 4, 5, 6, 7, 8, 9
      Describe = "a digit"
    Case 10, 100, 1000
      Describe = "a power of ten"
    Case Else
      Describe = "just a number"
  End Select
End Function

' Arrays hold arrays; a store into the inner one reaches it where it stands.
Function Grid()
  Dim rows(1), r, c
  For r = 0 To 1
    rows(r) = Array(0, 0, 0)
    For c = 0 To 2
      rows(r)(c) = r * 3 + c
    Next
  Next
  Grid = Join(rows(0), ",") & " / " & Join(rows(1), ",")
End Function

MsgBox greeting & "!"
MsgBox UCase(Title) & " has " & Len(Title) & " letters, the """ & Mid(Title, 4, 3) & """ sits at " & InStr(Title, "mor")

For i = 0 To 5
  MsgBox i & "! = " & Factorial(i)
Next

scores(0) = 42: scores(1) = 7: scores(2) = 19
scores(3) = 88: scores(4) = 3: scores(5) = 56
MinMax scores, lo, hi
MsgBox "scores from " & lo & " to " & hi

Dim samples: samples = Array(0, 7, 100, 12)
For i = 0 To UBound(samples)
  MsgBox samples(i) & " is " & Describe(samples(i))
Next

MsgBox Grid()
MsgBox "True & False = " & (True & False)
