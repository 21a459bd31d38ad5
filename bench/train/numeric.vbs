' Training workload: integer and floating-point loops over locals and two-dimensional arrays.
Function Collatz(limit)
    Dim n, steps, best, x
    best = 0
    For n = 1 To limit
        x = n
        steps = 0
        Do While x <> 1
            If x Mod 2 = 0 Then
                x = x \ 2
            Else
                x = 3 * x + 1
            End If
            steps = steps + 1
        Loop
        If steps > best Then best = steps
    Next
    Collatz = best
End Function

Function MatrixTrace(n)
    Dim a(), b(), c(), i, j, k, s
    ReDim a(n - 1, n - 1)
    ReDim b(n - 1, n - 1)
    ReDim c(n - 1, n - 1)
    For i = 0 To n - 1
        For j = 0 To n - 1
            a(i, j) = i + j
            b(i, j) = 2 * i - j
        Next
    Next
    For i = 0 To n - 1
        For j = 0 To n - 1
            s = 0
            For k = 0 To n - 1
                s = s + a(i, k) * b(k, j)
            Next
            c(i, j) = s
        Next
    Next
    s = 0
    For i = 0 To n - 1
        s = s + c(i, i)
    Next
    MatrixTrace = s
End Function

Function Integrate(steps)
    Dim h, x, sum, i
    h = 1.0 / steps
    sum = 0.0
    For i = 0 To steps - 1
        x = (i + 0.5) * h
        sum = sum + 4.0 / (1.0 + x * x)
    Next
    Integrate = sum * h
End Function

Function Primes(n)
    Dim flags(), i, j, count
    ReDim flags(n)
    count = 0
    For i = 2 To n
        If Not flags(i) Then
            count = count + 1
            j = i + i
            Do While j <= n
                flags(j) = True
                j = j + i
            Loop
        End If
    Next
    Primes = count
End Function

MsgBox "numeric: " & Collatz(20000) & " " & MatrixTrace(40) & " " & CLng(Integrate(200000) * 1000000) & " " & Primes(100000)
