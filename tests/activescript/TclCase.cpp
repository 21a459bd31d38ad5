#include "EngineCases.h"

namespace xan::as::test {

const TLangCase KTclCase{
    "Tcl", u"TclScript",
    uR"(set counter 10
proc add {a b} { return [expr {$a + $b}] }
proc echo {x} { return $x }
proc kind {x} { return [lindex [tcl::unsupported::representation $x] 3] }
proc hostName {} { return [host Name] }
proc setHostName {v} { host configure -Name $v }
proc hostTwice {x} { return [host Twice $x] }
proc hostItem {i} { return [host default $i] }
proc hostFails {} { return [host Fail] }
proc appGreeting {} { return [Greeting] }
proc fails {} {
  set t 1
  return [expr {$t / 0}] ;# FAIL_HERE
}
)",
    u"1 + 2", u"set counter 7",
    u"set x 1\nset y {2\n", 1, 1, false,
    {"int", "double", "pure", "velmoraBoolean", "velmoraDate", "velmoraEmpty", "velmoraNull", "list", "pure"}};

}  // namespace xan::as::test
