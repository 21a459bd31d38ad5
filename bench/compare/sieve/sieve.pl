# Sieve of Eratosthenes over an array of 0/1 flags: element reads and writes.
use strict;
use warnings;

sub sieve {
    my ($n) = @_;
    my @flags = (0) x ($n + 1);
    my $i = 2;
    while ($i * $i <= $n) {
        if ($flags[$i] == 0) {
            my $j = $i * $i;
            while ($j <= $n) {
                $flags[$j] = 1;
                $j = $j + $i;
            }
        }
        $i = $i + 1;
    }
    my $count = 0;
    for my $k (2 .. $n) {
        $count = $count + 1 if $flags[$k] == 0;
    }
    return $count;
}

my $total = 0;
$total = $total + sieve(1000000) for 1 .. 4;
print "sieve: $total\n";
