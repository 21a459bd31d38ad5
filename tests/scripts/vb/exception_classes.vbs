' The runtime library's exception classes by name in Catch clauses, with Message and ClassName.
Dim x
Try
  x = 1 / 0
Catch e As EConvertError
  MsgBox "wrong handler"
Catch e As Exception
  MsgBox e.ClassName & " " & InStr(e.Message, "Division by zero")
End Try
Try
  x = CLng("abc")
Catch e As Exception
  MsgBox e.ClassName
End Try
