#include "EngineCases.h"

namespace xan::as::test {

const TLangCase KVbCase{
    "VBScript", u"VBScript",
    uR"(Dim counter
counter = 10
Function add(a, b)
  add = a + b
End Function
Function echo(x)
  If IsObject(x) Then
    Set echo = x
  Else
    echo = x
  End If
End Function
Function kind(x)
  kind = TypeName(x)
End Function
Function hostName()
  hostName = host.Name
End Function
Sub setHostName(v)
  host.Name = v
End Sub
Function hostTwice(x)
  hostTwice = host.Twice(x)
End Function
Function hostItem(i)
  hostItem = host(i)
End Function
Function hostFails()
  hostFails = host.Fail()
End Function
Function appGreeting()
  appGreeting = Greeting
End Function
Function fails()
  fails = 1 / 0 ' FAIL_HERE
End Function
Function bump(n)
  host.Bump n
  host.Bump n
  bump = n
End Function
)",
    u"1 + 2", u"counter = 7",
    u"x = 1\ny = = 2\n", 1, 5, true,
    {"Integer", "Double", "String", "Boolean", "Date", "Empty", "Null", "Variant()", "Object"}};

}  // namespace xan::as::test
