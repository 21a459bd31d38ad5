# A method of an object called from a loop: late-bound lookup of the method by name.
oo::class create Counter {
    variable value
    constructor {} {
        set value 0
    }
    method add {x} {
        set value [expr {($value + $x) % 1000003}]
        return $value
    }
}

proc run {n} {
    set c [Counter new]
    set s 0
    for {set i 1} {$i <= $n} {incr i} {
        set s [expr {($s + [$c add $i]) % 1000003}]
    }
    return $s
}

puts "method: [run 4000000]"
