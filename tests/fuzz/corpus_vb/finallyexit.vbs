' An exit statement inside a Finally part is a run-time error.
Dim i
For i = 1 To 2
    Try
        MsgBox "try"
    Finally
        Exit For
    End Try
Next
MsgBox "not reached"
