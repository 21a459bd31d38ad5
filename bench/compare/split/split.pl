# A comma-separated text built piece by piece, then cut apart with index and substr (each step
# copies the rest of the text).
use strict;
use warnings;

sub split_text {
    my ($reps) = @_;
    my $total = 0;
    for my $r (1 .. $reps) {
        my $s = '';
        for my $i (1 .. 200) {
            $s = $s . 'p' . $i . chr(65 + $i % 26) . ',';
        }
        my $rest = $s;
        my $n = 0;
        my $p = index($rest, ',') + 1;
        while ($p > 0) {
            $n = $n + length(substr($rest, 0, $p - 1));
            $rest = substr($rest, $p);
            $p = index($rest, ',') + 1;
        }
        $total = $total + $n;
    }
    return $total;
}

print 'split: ' . split_text(15000) . "\n";
