# Floating-point arithmetic in a loop (additions, multiplications, divisions).
proc float_loop {n} {
    set x 0.0
    set s 0.0
    for {set i 1} {$i <= $n} {incr i} {
        set x [expr {$x + 0.5}]
        set s [expr {$s + $x * 1.000001 / ($x + 1.0) - 0.25}]
    }
    return $s
}

puts "float: [expr {int([float_loop 12000000] * 100)}]"
