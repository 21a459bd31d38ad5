# Nested integer loops: instruction dispatch and integer arithmetic.
use strict;
use warnings;

sub loops {
    my ($n) = @_;
    my $s = 0;
    for my $i (0 .. $n - 1) {
        for my $j (0 .. $n - 1) {
            $s = ($s + $i * $j + 7) % 1000003;
        }
    }
    return $s;
}

print "loops: " . loops(3500) . "\n";
