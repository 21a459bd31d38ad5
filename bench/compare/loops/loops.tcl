# Nested integer loops: instruction dispatch and integer arithmetic.
proc loops {n} {
    set s 0
    for {set i 0} {$i < $n} {incr i} {
        for {set j 0} {$j < $n} {incr j} {
            set s [expr {($s + $i * $j + 7) % 1000003}]
        }
    }
    return $s
}

puts "loops: [loops 3500]"
