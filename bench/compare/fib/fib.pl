# Recursive fibonacci: the cost of a script-level call and return.
use strict;
use warnings;

sub fib {
    my ($n) = @_;
    return $n if $n < 2;
    return fib($n - 1) + fib($n - 2);
}

print "fib: " . fib(32) . "\n";
