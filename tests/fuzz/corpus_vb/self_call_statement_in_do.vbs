Function t(x)
  Do While x
    t 5
  Loop
End Function
