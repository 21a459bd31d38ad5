' Training workload: text built, searched, cut and compared; globals read and written by small
' procedures; errors raised and handled.
Dim Words, Errors

Sub Count(w)
    If Len(w) > 0 Then Words = Words + 1
End Sub

Function Reverse(s)
    Dim i, r
    r = ""
    For i = Len(s) To 1 Step -1
        r = r & Mid(s, i, 1)
    Next
    Reverse = r
End Function

Function SplitCount(line)
    Dim p, rest
    rest = line
    p = InStr(rest, " ")
    Do While p > 0
        Count Left(rest, p - 1)
        rest = Mid(rest, p + 1)
        p = InStr(rest, " ")
    Loop
    Count rest
    SplitCount = Words
End Function

Function Checked(i)
    Try
        If i Mod 7 = 0 Then Err.Raise 5
        Checked = i
    Catch
        Errors = Errors + 1
        Checked = 0
    End Try
End Function

Dim i, line, total, s
Words = 0
Errors = 0
total = 0
For i = 1 To 3000
    line = "alpha " & i & " beta gamma " & UCase("delta") & " " & Chr(65 + i Mod 26)
    total = total + SplitCount(line) Mod 97
    s = Reverse(line)
    If s = line Then total = total + 1
    total = total + Checked(i) Mod 13
Next
MsgBox "text: " & total & " " & Words & " " & Errors
