' Typed Catch clauses, New, member chains, several statements on a line.
Try
    Set o = New Widget
    o.Items(1).Name = "n" : o.Run 1, 2
Catch e As "Error"
    MsgBox e.Message
Catch
    Throw
Finally
    Call o.Close()
End Try
Function F(ByVal a, ByRef b)
    Select Case a : Case 1, 2 : F = b : Case Else : Return -1 : End Select
End Function
