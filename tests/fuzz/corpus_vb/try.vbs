' Try with catch-all, Finally, Throw, re-raise, and exits that leave protected code.
Try
    MsgBox "body"
    Throw "first"
    MsgBox "not reached"
Catch
    MsgBox "caught"
End Try
Try
    MsgBox "no error"
Finally
    MsgBox "finally runs"
End Try
Try
    Try
        Throw "inner"
    Finally
        MsgBox "inner finally"
    End Try
Catch
    MsgBox "outer caught"
End Try
Try
    Try
        Throw "again"
    Catch
        MsgBox "handling"
        Throw
    End Try
Catch
    MsgBox "re-raised"
End Try
Dim i, s
s = ""
For i = 1 To 5
    Try
        If i = 3 Then Exit For
        s = s & i
    Finally
        s = s & "f"
    End Try
Next
MsgBox s
s = ""
For i = 1 To 5
    Try
        Throw "x"
    Catch
        s = s & i
        If i = 2 Then Exit For
    End Try
Next
MsgBox s
i = 0
Do
    i = i + 1
    Try
        If i = 4 Then Exit Do
    Catch
    Finally
        s = s & "."
    End Try
Loop
MsgBox s
Function Guarded(n)
    Try
        Guarded = n
        Exit Function
    Finally
        MsgBox "leaving " & n
    End Try
    Guarded = -1
End Function
MsgBox Guarded(7)
Function Rescue(n)
    Try
        Return n \ 0
    Catch
        Return "div"
    End Try
End Function
MsgBox Rescue(1)
Sub Nested
    Try
        Throw "deep"
    Finally
        MsgBox "nested finally"
    End Try
End Sub
Try
    Nested
Catch
    MsgBox "from sub"
End Try
