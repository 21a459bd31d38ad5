# Many calls of a small three-argument function that reads and writes global variables.
set Calls 0
set Total 0

proc mix {a b c} {
    global Calls
    set Calls [expr {$Calls + 1}]
    return [expr {($a * 3 + $b * 5 + $c + $Calls) % 1009}]
}

proc run {n} {
    global Total
    for {set i 1} {$i <= $n} {incr i} {
        set Total [expr {($Total + [mix $i $Total 7]) % 1000003}]
    }
}

run 3000000
puts "calls: [expr {$Total + $Calls}]"
