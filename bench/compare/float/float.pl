# Floating-point arithmetic in a loop (additions, multiplications, divisions).
use strict;
use warnings;

sub float_loop {
    my ($n) = @_;
    my $x = 0.0;
    my $s = 0.0;
    for my $i (1 .. $n) {
        $x = $x + 0.5;
        $s = $s + $x * 1.000001 / ($x + 1.0) - 0.25;
    }
    return $s;
}

print "float: " . int(float_loop(12000000) * 100) . "\n";
