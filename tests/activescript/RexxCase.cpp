#include "EngineCases.h"

namespace xan::as::test {

// REXX values are strings: Booleans, dates, Empty and Null come back as their REXX text.
// Host objects are functions: host('Name') reads a property or calls a method, host('Name=', v)
// sets a property, host('', i) is the default member; members of an item published with its
// members are functions of their own name (Greeting()). Arguments pass by value only.
const TLangCase KRexxCase{
    "Rexx", u"ObjectREXXScript",
    uR"(counter = 10
exit
add: procedure
  return arg(1) + arg(2)
echo: procedure
  return arg(1)
kind: procedure
  if arg(1, 'O') then return 'omitted'
  parse arg x
  if x == '' then return 'empty'
  if datatype(x, 'W') then return 'whole'
  if datatype(x, 'N') then return 'number'
  return datatype(x)
hostName: procedure
  return host('Name')
setHostName: procedure
  call host 'Name=', arg(1)
  return
hostTwice: procedure
  return host('Twice', arg(1))
hostItem: procedure
  return host('', arg(1))
hostFails: procedure
  return host('Fail')
appGreeting: procedure
  return Greeting()
fails: procedure
  t = 1
  return t / 0 /* FAIL_HERE */
)",
    u"1 + 2", u"counter = 7",
    u"x = 1\ny = = 2\n", 1, -1, false,
    {"whole", "number", "CHAR", "whole", "CHAR", "omitted", "empty", "CHAR", "CHAR"},
    {nullptr, nullptr, nullptr, "1", "2024-02-29 12:00:00", "", "", nullptr, nullptr}};

}  // namespace xan::as::test
