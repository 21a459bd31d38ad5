' A comma-separated text built piece by piece, then cut apart with InStr and Mid (each step
' copies the rest of the text): allocation, copies between slots and built-ins, call cost.
Function CutText(reps)
  Dim r, i, s, p, rest, n, total
  total = 0
  For r = 1 To reps
    s = ""
    For i = 1 To 200
      s = s & "p" & CStr(i) & Chr(65 + i Mod 26) & ","
    Next
    rest = s
    n = 0
    p = InStr(rest, ",")
    Do While p > 0
      n = n + Len(Mid(rest, 1, p - 1))
      rest = Mid(rest, p + 1, Len(rest))
      p = InStr(rest, ",")
    Loop
    total = total + n
  Next
  CutText = total
End Function

MsgBox "split: " & CutText(15000)
