' The XML DOM object the runner offers, as scripts use it.
Dim d, items, i
Set d = CreateObject("Microsoft.XMLDOM")
If d.loadXML("<order id=""7""><line qty=""2"">tea</line><line qty=""1"">cake</line></order>") Then
  Set items = d.selectNodes("/order/line")
  For i = 0 To items.length - 1
    MsgBox items(i).getAttribute("qty") & " x " & items(i).text
  Next
End If
MsgBox d.loadXML("<broken>") & ": " & d.parseError.reason
