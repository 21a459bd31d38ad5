# String building (concatenation, number to text, character codes) and substring search.
def strings(n):
    total = 0
    buf = ""
    for i in range(1, n + 1):
        buf = buf + chr(97 + i % 26) + str(i % 1000) + ";"
        if len(buf) > 250:
            total = total + (buf.find("x12") + 1) + (buf.find(";a") + 1) + len(buf)
            buf = ""
    return total + len(buf)


print("strings: " + str(strings(1500000)))
