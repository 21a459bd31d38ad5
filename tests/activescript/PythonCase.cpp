#include "EngineCases.h"

namespace xan::as::test {

const TLangCase KPythonCase{
    "Python", u"Python",
    uR"(counter = 10
def add(a, b): return a + b
def echo(x): return x
def kind(x): return type(x).__name__
def hostName(): return host.Name
def setHostName(v): host.Name = v
def hostTwice(x): return host.Twice(x)
def hostItem(i): return host[i]
def hostFails(): return host.Fail()
def appGreeting(): return Greeting
def fails():
    return 1 / 0  # FAIL_HERE
)",
    u"1 + 2", u"counter = 7",
    u"x = 1\ny = = 2\n", 1, 5, false,
    {"int", "float", "str", "bool", "datetime", "NoneType", "NullType", "list", "Object"}};

}  // namespace xan::as::test
