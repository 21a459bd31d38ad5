#include "EngineCases.h"

namespace xan::as::test {

// Perl has no column in its messages; its subs alias their arguments, so bump changes the
// caller's variable.
const TLangCase KPerlCase{
    "Perl", u"PerlScript",
    uR"(use B ();
no warnings 'experimental::builtin';
$counter = 10;
sub add { my ($a, $b) = @_; return $a + $b }
sub echo { return $_[0] }
sub kind {
  my $x = shift;
  return 'undef' unless defined $x;
  return ref $x if ref $x;
  return 'boolean' if builtin::is_bool($x);
  my $flags = B::svref_2object(\$x)->FLAGS;
  return $flags & B::SVf_POK ? 'string' : $flags & B::SVf_IOK ? 'integer' : 'double';
}
sub hostName { return $host->Name }
sub setHostName { $host->{Name} = $_[0] }
sub hostTwice { return $host->Twice($_[0]) }
sub hostItem { return $host->[$_[0]] }
sub hostFails { return $host->Fail() }
sub appGreeting { return Greeting() }
sub fails {
  my $zero = 0;
  return 1 / $zero; # FAIL_HERE
}
sub bump {
  $host->Bump($_[0]);
  $host->Bump($_[0]);
  return $_[0];
}
)",
    u"1 + 2", u"$counter = 7",
    u"$x = 1;\n$y = = 2;\n", 1, -1, true,
    {"integer", "double", "string", "boolean", "Velmora::Date", "undef", "Velmora::Null", "ARRAY", "Velmora::Object"}};

}  // namespace xan::as::test
