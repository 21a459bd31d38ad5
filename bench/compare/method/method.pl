# A method of an object called from a loop: late-bound lookup of the method by name.
use strict;
use warnings;

package Counter;

sub new {
    my ($class) = @_;
    return bless { value => 0 }, $class;
}

sub add {
    my ($self, $x) = @_;
    $self->{value} = ($self->{value} + $x) % 1000003;
    return $self->{value};
}

package main;

sub run {
    my ($n) = @_;
    my $c = Counter->new;
    my $s = 0;
    for my $i (1 .. $n) {
        $s = ($s + $c->add($i)) % 1000003;
    }
    return $s;
}

print "method: " . run(4000000) . "\n";
