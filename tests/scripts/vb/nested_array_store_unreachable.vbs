' A store into an element of a function's result has no array to reach: an error, not a
' silently dropped value.
Function Pair()
  Dim r(1)
  Pair = Array(r, r)
End Function
Pair()(0) = 1
MsgBox "not reached"
