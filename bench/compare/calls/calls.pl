# Many calls of a small three-argument function that reads and writes global variables.
use strict;
use warnings;

our $Calls = 0;
our $Total = 0;

sub mix {
    my ($x, $y, $z) = @_;
    $Calls = $Calls + 1;
    return ($x * 3 + $y * 5 + $z + $Calls) % 1009;
}

sub run {
    my ($n) = @_;
    for my $i (1 .. $n) {
        $Total = ($Total + mix($i, $Total, 7)) % 1000003;
    }
}

run(3000000);
print "calls: " . ($Total + $Calls) . "\n";
