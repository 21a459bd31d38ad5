' Training workload: recursive procedures of several shapes (one, two and three arguments,
' results combined, a by-reference counter).
Dim Moves

Function Ack(m, n)
    If m = 0 Then
        Ack = n + 1
    ElseIf n = 0 Then
        Ack = Ack(m - 1, 1)
    Else
        Ack = Ack(m - 1, Ack(m, n - 1))
    End If
End Function

Function Tak(x, y, z)
    If y >= x Then
        Tak = z
    Else
        Tak = Tak(Tak(x - 1, y, z), Tak(y - 1, z, x), Tak(z - 1, x, y))
    End If
End Function

Sub Hanoi(n, from, dest, via)
    If n > 0 Then
        Hanoi n - 1, from, via, dest
        Moves = Moves + 1
        Hanoi n - 1, via, dest, from
    End If
End Sub

Sub CountNodes(depth, ByRef count)
    count = count + 1
    If depth > 0 Then
        CountNodes depth - 1, count
        CountNodes depth - 1, count
    End If
End Sub

Dim nodes
Moves = 0
Hanoi 18, 1, 3, 2
nodes = 0
CountNodes 17, nodes
MsgBox "recursion: " & Ack(2, 300) & " " & Tak(21, 14, 7) & " " & Moves & " " & nodes
