# String building (concatenation, number to text, character codes) and substring search.
proc strings {n} {
    set total 0
    set buf ""
    for {set i 1} {$i <= $n} {incr i} {
        append buf [format %c [expr {97 + $i % 26}]] [expr {$i % 1000}] ";"
        if {[string length $buf] > 250} {
            set total [expr {$total + ([string first x12 $buf] + 1) \
                                    + ([string first {;a} $buf] + 1) + [string length $buf]}]
            set buf ""
        }
    }
    return [expr {$total + [string length $buf]}]
}

puts "strings: [strings 1500000]"
