Dim n
n = 0
Do While True
  n = n + 1
Loop
