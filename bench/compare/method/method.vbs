' A method of an object called from a loop. The command-line runner hands scripts no host
' object, so the object is a one-element array and its method a function that takes the
' array by reference: the call is still resolved by name when it runs, but it stays inside
' the machine instead of going through a dispatch interface.
Function CounterAdd(obj, x)
    obj(0) = (obj(0) + x) Mod 1000003
    CounterAdd = obj(0)
End Function

Function RunMethod(n)
    Dim counter(0) As Integer
    Dim s, i
    s = 0
    For i = 1 To n
        s = (s + CounterAdd(counter, i)) Mod 1000003
    Next
    RunMethod = s
End Function

MsgBox "method: " & RunMethod(4000000)
