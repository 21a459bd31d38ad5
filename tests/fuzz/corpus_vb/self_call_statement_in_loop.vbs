Function t(x)
  For k = 0 To 1
    t 5
  Next
End Function
