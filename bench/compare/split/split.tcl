# A comma-separated text built piece by piece, then cut apart with string first and string
# range (each step copies the rest of the text).
proc split_text {reps} {
    set total 0
    for {set r 1} {$r <= $reps} {incr r} {
        set s ""
        for {set i 1} {$i <= 200} {incr i} {
            set s "${s}p$i[format %c [expr {65 + $i % 26}]],"
        }
        set rest $s
        set n 0
        set p [expr {[string first , $rest] + 1}]
        while {$p > 0} {
            set n [expr {$n + [string length [string range $rest 0 [expr {$p - 2}]]]}]
            set rest [string range $rest $p end]
            set p [expr {[string first , $rest] + 1}]
        }
        set total [expr {$total + $n}]
    }
    return $total
}

puts "split: [split_text 15000]"
