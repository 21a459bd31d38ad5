#include "EngineCases.h"

namespace xan::as::test {

const TLangCase KJsCase{
    "JScript", u"JScript",
    uR"(var counter = 10;
function add(a, b) { return a + b; }
function echo(x) { return x; }
function kind(x) {
  if (x === null) return "null";
  if (x instanceof Date) return "date";
  if (Array.isArray(x)) return "array";
  return Number.isInteger(x) ? "integer" : typeof x;
}
function hostName() { return host.Name; }
function setHostName(v) { host.Name = v; }
function hostTwice(x) { return host.Twice(x); }
function hostItem(i) { return host[i]; }
function hostFails() { return host.Fail(); }
function appGreeting() { return Greeting; }
function fails() {
  var t = null;
  return t.field; // FAIL_HERE
}
)",
    u"1 + 2", u"counter = 7",
    u"var x = 1;\nvar y = = 2;\n", 1, 9, false,
    {"integer", "number", "string", "boolean", "date", "undefined", "null", "array", "object"}};

}  // namespace xan::as::test
