' Declarations and literals: Dim lists with bounds and initialisers, dates, hexadecimal and
' floating-point numbers, line continuations and several statements on one line.
Dim a, b(3), c(1, 2), d = 5, e
ReDim Preserve b(5) : b(0) = &1F : b(1) = &ff : b(2) = 1.5E3
d = #2024-01-31# : e = #10:30 PM 2016/1/1# + #2003/1/2 10:11:12#
Set o = Nothing
s = "quote "" inside" & _
    " continued"
x = Empty : y = Null : z = True Or False
If TypeOf o Is Nothing Then x = 1
Erase b
