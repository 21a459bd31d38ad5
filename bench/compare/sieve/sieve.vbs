' Sieve of Eratosthenes over an array of 0/1 flags: element reads and writes.
Function Sieve(n)
    Dim flags(n) As Integer
    Dim i, j, k, count
    i = 2
    Do While i * i <= n
        If flags(i) = 0 Then
            j = i * i
            Do While j <= n
                flags(j) = 1
                j = j + i
            Loop
        End If
        i = i + 1
    Loop
    count = 0
    For k = 2 To n
        If flags(k) = 0 Then count = count + 1
    Next
    Sieve = count
End Function

Dim total, r
total = 0
For r = 1 To 4
    total = total + Sieve(1000000)
Next
MsgBox "sieve: " & total
