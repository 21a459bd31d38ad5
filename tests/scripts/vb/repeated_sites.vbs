' Calls, global reads and writes and element accesses repeated from one place, so that later
' rounds take the short way a place keeps: each round must behave as the first did.
Dim g, counter, arr
Sub Keep(ByVal v)
    v = v + 100
End Sub
Sub Bump(ByRef v)
    v = v + 1
End Sub
Function Deep(n)
    Dim a(0)
    a(0) = n
    If n > 0 Then Deep n - 1
    Deep = a(0)
End Function
Function Rounds
    Dim k, v, text
    v = 10
    g = 5
    counter = 0
    text = ""
    For k = 1 To 4
        Keep v
        Bump g
        counter = counter + k
        text = text & Deep(k) & " "
    Next
    Rounds = "v=" & v & " g=" & g & " counter=" & counter & " deep=" & text
End Function
Function Elements
    Dim k, i, s
    s = ""
    arr = Array(1, 2, 3)
    For k = 1 To 8
        ' The variable gets a longer array, then a text, then a one-element array.
        If k = 4 Then arr = Array(40, 50, 60, 70, 80, 90, 100)
        If k = 6 Then arr = "text"
        If k = 7 Then arr = Array(0)
        i = k - 1
        Try
            s = s & arr(i) & " "
        Catch
            s = s & "<error> "
        End Try
    Next
    Elements = s
End Function
Function Writes
    Dim a, b, k
    a = Array(0, 0, 0, 0)
    b = a
    For k = 0 To 3
        b(k) = k * 10
    Next
    Writes = "a=" & Join(a, ",") & " b=" & Join(b, ",")
End Function
MsgBox Rounds
MsgBox Elements
MsgBox Writes
