# String building (concatenation, number to text, character codes) and substring search.
use strict;
use warnings;

sub strings {
    my ($n) = @_;
    my $total = 0;
    my $buf = "";
    for my $i (1 .. $n) {
        $buf = $buf . chr(97 + $i % 26) . ($i % 1000) . ";";
        if (length($buf) > 250) {
            $total = $total + (index($buf, "x12") + 1) + (index($buf, ";a") + 1) + length($buf);
            $buf = "";
        }
    }
    return $total + length($buf);
}

print "strings: " . strings(1500000) . "\n";
