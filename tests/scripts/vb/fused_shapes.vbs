' Statements the machine runs as one fused step when their operands are Integers or Doubles
' (a local = a local or literal operated with a local or literal, a comparison of a local with
' a parameter, an element of a local array read or given a literal), here with values of
' every kind: overflow, text, Null, Booleans and references take the general ways, with the
' same results, types and errors.
Function Shapes(v, w)
    Dim x, y, z, t, r
    x = v
    y = w
    t = "old text"
    x = x + 1
    t = x - y
    z = x * 3
    z = (x + y) - 2
    y = (x * 2) + y
    t = z / 4
    z = y * x
    r = "gt"
    If x <= w Then r = "le"
    If x > w Then r = r & " gt"
    If Not (x > w) Then r = r & " le"
    Shapes = r & ": " & x & " " & TypeName(x) & " " & y & " " & TypeName(y) & " " & z & " " & _
             TypeName(z) & " " & t & " " & TypeName(t)
End Function

' The error's class, text and position (without the script's path, which depends on how the
' runner was started).
Sub ShowError(e)
    Dim m
    m = e.Message
    MsgBox e.ClassName & ": " & Left(m, InStr(m, "Source:") - 1) & Mid(m, InStr(m, "[line"))
End Sub

Sub Show(v, w)
    Try
        MsgBox Shapes(v, w)
    Catch e As Exception
        ShowError e
    End Try
End Sub

Sub Bump(ByRef x, d)
    Dim y
    y = d
    x = x + y
End Sub

Function Elements(n)
    Dim flags(n) As Integer
    Dim words(3)
    Dim i, j, count
    i = 2
    Do While i <= n
        j = i * i
        Do While j <= n
            flags(j) = 1
            j = j + i
        Loop
        i = i + 1
    Loop
    count = 0
    For i = 2 To n
        If flags(i) = 0 Then count = count + 1
    Next
    j = n
    flags(j) = 0 ' zero, pushed by its own instruction
    j = 1
    words(j) = "one"
    words(2) = 2.5
    j = 2
    MsgBox count & " " & words(1) & " " & words(j) & " " & TypeName(words(j)) & " " & flags(n)
    j = n + 1
    flags(j) = 1
End Function

'' A local pushed before a product of two locals (s + i * j), an operation on the stack followed
' by a literal operation (... + 7, ... - 2), and elements read with a literal index through a
' by-reference parameter.
Function Chain(a, b, c)
    Dim s, i, j
    s = a
    i = b
    j = c
    s = (s + i * j + 7) - 2
    Chain = s & " " & (s * 2 - 1) & " " & (i - j * s) & " " & TypeName(s)
End Function

Sub ShowChain(a, b, c)
    Try
        MsgBox Chain(a, b, c)
    Catch e As Exception
        ShowError e
    End Try
End Sub

Function Counter(ByRef obj, x)
    obj(0) = (obj(0) + x) Mod 1000003
    Counter = obj(0) & " " & obj(1)
    Counter = Counter & " " & obj(2)
End Function

'' Whole statements "a local = (a local + a local * a local + or - a literal) Mod a literal"
' (one fused step for Integers): into one of their own operands and into a local that held a
' text, with overflow at every step, a negative remainder, and the local passed by reference
' between two of them.
Function Statement(a, b, c)
    Dim s, i, j, t
    s = a
    i = b
    j = c
    t = "old text"
    t = (s + i * j - 2147483647) Mod 65536
    s = (s + i * j + 7) Mod 1000003
    Bump s, 1
    s = (s + i * j + 7) Mod 1000003
    Statement = s & " " & TypeName(s) & " " & t & " " & TypeName(t)
End Function

' The same statement with a divisor of zero (pushed by its own instruction) and of one.
Function StatementMod(a, b, c)
    Dim s, i, j
    s = a
    i = b
    j = c
    s = (s + i * j + 7) Mod 1
    MsgBox s & " " & TypeName(s)
    s = (s + i * j + 7) Mod 0
    StatementMod = s
End Function

'' Integer quotients (\) of two locals, which the machine divides in place: negative operands,
' -1 (whose quotient can leave the range) and zero as divisors, a Double and Null.
Sub ShowQuotient(a, b)
    Dim x, y, q
    x = a
    y = b
    Try
        q = x \ y
        MsgBox q & " " & TypeName(q)
    Catch e As Exception
        ShowError e
    End Try
End Sub

Sub ShowStatement(a, b, c)
    Try
        MsgBox Statement(a, b, c)
    Catch e As Exception
        ShowError e
    End Try
End Sub

Dim r, cell
Show 1, 2
Show 2147483646, 5
Show -2147483647, 3
Show 65536, 65536
Show 1.5, 0.25
Show 0.5, 0
Show 3, 2.5
Show "12", 3
Show "ab", "cd"
Show True, 1
Show Null, 1
Show 7, Null
r = 10
Bump r, 5
Bump r, 0.5
MsgBox r
Try
    Elements 30
Catch e As Exception
    ShowError e
End Try
ShowChain 3, 4, 5
ShowChain 2147483647, 1, 1
ShowChain 1, 65536, 65536
ShowChain 0.5, 1.5, 2.0
ShowChain 1, 2.5, 2
ShowChain "10", 3, 4
ShowChain "ab", 1, 2
ShowChain Null, 1, 2
ShowChain True, 1, 2
ReDim cell(1)
cell(0) = 0
cell(1) = 5
Try
    MsgBox Counter(cell, 7)
Catch e As Exception
    ShowError e
End Try
ReDim cell(2)
cell(1) = "x"
cell(2) = 2.5
MsgBox Counter(cell, 7)
cell = 12
Try
    MsgBox Counter(cell, 1)
Catch e As Exception
    ShowError e
End Try
ShowStatement 3, 4, 5
ShowStatement -100, 1, 1
ShowStatement 2147483647, 1, 1
ShowStatement 2147483640, 0, 5
ShowStatement -2, 0, 0
ShowStatement -2147483647 - 1, 1, 1
ShowStatement 1, 65536, 65536
ShowStatement 1, -65536, 32768
ShowStatement 0.5, 1.5, 2.0
ShowStatement 1, 2.5, 2
ShowStatement "10", 3, 4
ShowStatement True, 1, 2
ShowStatement Null, 1, 2
ShowStatement 1, Null, 2
ShowStatement "ab", 1, 2
ShowQuotient 17, 5
ShowQuotient -17, 5
ShowQuotient 17, -5
ShowQuotient -2147483647 - 1, -1
ShowQuotient -2147483647 - 1, 1
ShowQuotient 7, -1
ShowQuotient 7, 0
ShowQuotient 7.5, 2
ShowQuotient Null, 2
Try
    MsgBox StatementMod(5, 6, 7)
Catch e As Exception
    ShowError e
End Try
