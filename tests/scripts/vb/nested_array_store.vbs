' Stores into an array held inside an array reach the inner array, at any depth; every other
' holder of the inner array keeps its own copy.
Dim a(2), b(3), m(1)
b(2) = 1
a(1) = b
a(1)(2) = 9
MsgBox a(1)(2) & " " & b(2)

m(0) = a
m(0)(1)(3) = 7
MsgBox m(0)(1)(3) & " [" & a(1)(3) & "]"

' Through a by-reference parameter that refers to the outer array.
Sub SetInner(ByRef arr, v)
  arr(1)(0) = v
End Sub
SetInner a, 5
MsgBox a(1)(0)

' An element of an inner array passed by reference is written back.
Sub Bump(ByRef x)
  x = x + 1
End Sub
Bump a(1)(2)
MsgBox a(1)(2)

' Locals of a procedure, and a loop over the inner elements.
Function Grid()
  Dim p(1), q(2), i
  p(0) = q
  For i = 0 To 2
    p(0)(i) = i * i
  Next
  Grid = p(0)(0) & p(0)(1) & p(0)(2) & " " & (IsEmpty(q(2)))
End Function
MsgBox Grid()
