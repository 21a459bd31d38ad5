#include "EngineCases.h"

namespace xan::as::test {

const TLangCase KLuaCase{
    "Lua", u"LuaScript",
    uR"(counter = 10
function add(a, b) return a + b end
function echo(x) return x end
function kind(x)
  if x == Null then return "null" end
  local t = type(x)
  if t == "number" then return math.type(x) end
  if t == "userdata" then return tostring(x) == "[object]" and "object" or "date" end
  return t
end
function hostName() return host.Name end
function setHostName(v) host.Name = v end
function hostTwice(x) return host:Twice(x) end
function hostItem(i) return host[i] end
function hostFails() return host:Fail() end
function appGreeting() return Greeting end
function fails()
  local t = nil
  return t.field -- FAIL_HERE
end
)",
    u"1 + 2", u"counter = 7",
    u"x = 1\ny = = 2\n", 1, -1, false,
    {"integer", "float", "string", "boolean", "date", "nil", "null", "table", "object"}};

}  // namespace xan::as::test
