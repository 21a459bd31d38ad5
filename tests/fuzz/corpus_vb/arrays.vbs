' Dim of arrays, element assignment, ReDim, ReDim Preserve and Erase.
Dim a(2, 3)
MsgBox UBound(a, 1) & "x" & UBound(a, 2)
a(1, 2) = "mid"
MsgBox a(1, 2)
Dim b()
MsgBox IsEmpty(b)
ReDim b(4)
b(4) = 44
MsgBox UBound(b) & " " & b(4)
ReDim Preserve b(6)
MsgBox UBound(b) & " " & b(4)
ReDim b(1)
MsgBox IsEmpty(b(1))
Erase b
MsgBox IsEmpty(b)
Dim c = 3, d = "init"
MsgBox c & d
Sub LocalArrays
    Dim v(1)
    v(0) = "x"
    v(1) = "y"
    MsgBox v(0) & v(1)
    ReDim Preserve v(2)
    v(2) = "z"
    MsgBox Join(v, "")
End Sub
LocalArrays
Sub Fill(arr)
    arr(0) = "filled"
End Sub
Dim e(0)
Fill e
MsgBox e(0)
