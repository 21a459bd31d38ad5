' If/ElseIf/Else, Select Case, For with and without Step, Do loops, Exit For and Exit Do.
Sub Classify(n)
    If n < 0 Then
        MsgBox "negative"
    ElseIf n = 0 Then
        MsgBox "zero"
    ElseIf n < 10 Then
        MsgBox "small"
    Else
        MsgBox "large"
    End If
End Sub
Classify -3
Classify 0
Classify 4
Classify 40
If False Then MsgBox "no"
If True Then MsgBox "yes"
Function Name(n)
    Select Case n
        Case 1
            Name = "one"
        Case 2, 3
            Name = "two or three"
        Case 3
            Name = "unreachable"
        Case Else
            Name = "other"
    End Select
End Function
MsgBox Name(1) & "," & Name(3) & "," & Name(9)
Select Case "x"
    Case "y"
        MsgBox "wrong"
End Select
Dim i, s
s = ""
For i = 1 To 5
    s = s & i
Next
MsgBox s
MsgBox i
s = ""
For i = 10 To 1 Step -3
    s = s & i & " "
Next
MsgBox s
s = "none"
For i = 1 To 0
    s = "ran"
Next
MsgBox s
s = ""
For i = 1 To 10
    If i = 4 Then Exit For
    s = s & i
Next
MsgBox s
i = 0
Do While i < 3
    i = i + 1
Loop
MsgBox i
Do Until i = 0
    i = i - 1
Loop
MsgBox i
Do
    i = i + 2
Loop While i < 7
MsgBox i
Do
    i = i - 1
Loop Until i < 5
MsgBox i
Do
    i = i + 1
    If i > 20 Then Exit Do
Loop
MsgBox i
Do While True
    i = i + 1
    If i = 25 Then Exit Do
Loop
MsgBox i
Sub LocalLoop
    Dim k, t
    For k = 1 To 3
        Dim j
        For j = k To 3
            t = t & j
        Next
    Next
    MsgBox t
End Sub
LocalLoop
