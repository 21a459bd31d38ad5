' Unbounded recursion raises a catchable error; uncaught it ends the script with status 1.
Function Down(n)
    Down = Down(n + 1)
End Function
Try
    Down 0
Catch
    MsgBox "caught overflow"
End Try
Down 0
MsgBox "not reached"
