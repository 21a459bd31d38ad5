' String building (concatenation, number to text, character codes) and substring search.
Function Strings(n)
    Dim total, buf, i
    total = 0
    buf = ""
    For i = 1 To n
        buf = buf & Chr(97 + i Mod 26) & CStr(i Mod 1000) & ";"
        If Len(buf) > 250 Then
            total = total + InStr(buf, "x12") + InStr(buf, ";a") + Len(buf)
            buf = ""
        End If
    Next
    Strings = total + Len(buf)
End Function

MsgBox "strings: " & Strings(1500000)
