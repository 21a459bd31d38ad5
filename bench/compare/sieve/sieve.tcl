# Sieve of Eratosthenes over an array of 0/1 flags: element reads and writes.
# A Tcl list is the language's indexable array (lset and lindex work in place).
proc sieve {n} {
    set flags [lrepeat [expr {$n + 1}] 0]
    set i 2
    while {$i * $i <= $n} {
        if {[lindex $flags $i] == 0} {
            set j [expr {$i * $i}]
            while {$j <= $n} {
                lset flags $j 1
                incr j $i
            }
        }
        incr i
    }
    set count 0
    for {set k 2} {$k <= $n} {incr k} {
        if {[lindex $flags $k] == 0} {
            incr count
        }
    }
    return $count
}

set total 0
for {set r 0} {$r < 4} {incr r} {
    incr total [sieve 1000000]
}
puts "sieve: $total"
